# cmake -DENGLISH=en.txt -DRUSSIAN=ru.txt -DOUTPUT=catalogue_sources.cpp -P EmbedCatalogues.cmake
#
# Writes the CLI's catalogues into a C++ source as raw string literals, so
# the program carries its texts and needs no file beside it.
set(delimiter "fjltexts")
function(read_catalogue path out)
  file(READ "${path}" text)
  string(FIND "${text}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${path} holds )${delimiter}\", which ends the text early")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
read_catalogue("${ENGLISH}" english)
read_catalogue("${RUSSIAN}" russian)
set(source "// Made by cmake/EmbedCatalogues.cmake from src/cli/texts/: edit those.\n")
string(APPEND source "#include \"cli/catalogue.h\"\n\nnamespace fjl::cli {\n\n")
string(APPEND source "std::string_view CatalogueSource(Language language) {\n")
string(APPEND source "  static constexpr std::string_view kEnglish = R\"${delimiter}(${english})${delimiter}\";\n")
string(APPEND source "  static constexpr std::string_view kRussian = R\"${delimiter}(${russian})${delimiter}\";\n")
string(APPEND source "  return language == Language::Russian ? kRussian : kEnglish;\n}\n\n}  // namespace fjl::cli\n")
file(WRITE "${OUTPUT}.new" "${source}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
