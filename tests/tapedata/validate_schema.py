#!/usr/bin/env python3
"""Checks a JSON file against a JSON Schema, for the part of the schema
language packaging/schema/tape.schema.json uses: type, const, enum,
properties, required, additionalProperties, items, oneOf, $ref into $defs,
minimum, maximum, pattern. Any other keyword fails loudly rather than pass
unchecked. Standard library only: the tests run without network or pip.

validate_schema.py SCHEMA DOCUMENT   exit 0 when valid, 1 with the findings
"""
import json
import re
import sys

KNOWN = {"$schema", "$id", "$defs", "title", "description", "type", "const", "enum", "properties", "required",
         "additionalProperties", "items", "oneOf", "$ref", "minimum", "maximum", "pattern"}
TYPES = {
    "object": lambda v: isinstance(v, dict),
    "array": lambda v: isinstance(v, list),
    "string": lambda v: isinstance(v, str),
    "integer": lambda v: isinstance(v, int) and not isinstance(v, bool),
    "boolean": lambda v: isinstance(v, bool),
    "null": lambda v: v is None,
}


def check(value, schema, root, path, errors):
    unknown = set(schema) - KNOWN
    if unknown:
        raise SystemExit(f"schema keyword(s) this checker does not know at {path}: {sorted(unknown)}")
    if "$ref" in schema:
        name = schema["$ref"].removeprefix("#/$defs/")
        check(value, root["$defs"][name], root, path, errors)
    if "type" in schema:
        types = schema["type"] if isinstance(schema["type"], list) else [schema["type"]]
        if not any(TYPES[t](value) for t in types):
            errors.append(f"{path}: {value!r} is not {types}")
            return
    if "const" in schema and value != schema["const"]:
        errors.append(f"{path}: {value!r} is not {schema['const']!r}")
    if "enum" in schema and value not in schema["enum"]:
        errors.append(f"{path}: {value!r} not in {schema['enum']}")
    if isinstance(value, int) and not isinstance(value, bool):
        if "minimum" in schema and value < schema["minimum"]:
            errors.append(f"{path}: {value} < {schema['minimum']}")
        if "maximum" in schema and value > schema["maximum"]:
            errors.append(f"{path}: {value} > {schema['maximum']}")
    if isinstance(value, str) and "pattern" in schema and not re.search(schema["pattern"], value):
        errors.append(f"{path}: {value!r} does not match {schema['pattern']}")
    if isinstance(value, dict):
        properties = schema.get("properties", {})
        for key in schema.get("required", []):
            if key not in value:
                errors.append(f"{path}: missing {key}")
        for key, item in value.items():
            if key in properties:
                check(item, properties[key], root, f"{path}.{key}", errors)
            elif schema.get("additionalProperties", True) is False:
                errors.append(f"{path}: unexpected {key}")
    if isinstance(value, list) and "items" in schema:
        for i, item in enumerate(value):
            check(item, schema["items"], root, f"{path}[{i}]", errors)
    if "oneOf" in schema:
        matches = 0
        for option in schema["oneOf"]:
            option_errors = []
            check(value, option, root, path, option_errors)
            matches += not option_errors
        if matches != 1:
            errors.append(f"{path}: matches {matches} of the oneOf options, not 1")


def main():
    schema_path, document_path = sys.argv[1:3]
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    with open(document_path, encoding="utf-8") as f:
        document = json.load(f)  # also proves the file is UTF-8 JSON
    errors = []
    check(document, schema, schema, "$", errors)
    for error in errors[:50]:
        print(error)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
