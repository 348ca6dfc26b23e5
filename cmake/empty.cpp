// Intentionally empty: keeps a library target linkable before its first source exists.
