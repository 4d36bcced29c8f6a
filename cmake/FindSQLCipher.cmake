# Finds SQLCipher and offers it as one imported target, SQLCipher::SQLCipher.
# The codec must be switched on before sqlite3.h is read, or sqlite3_key is not declared;
# the target carries that definition so every user gets it.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(PC_SQLCIPHER QUIET sqlcipher)
endif()

find_path(SQLCIPHER_INCLUDE_DIR NAMES sqlite3.h
    HINTS ${PC_SQLCIPHER_INCLUDE_DIRS}
    PATH_SUFFIXES sqlcipher)
find_library(SQLCIPHER_LIBRARY NAMES sqlcipher HINTS ${PC_SQLCIPHER_LIBRARY_DIRS})

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(SQLCipher
    REQUIRED_VARS SQLCIPHER_LIBRARY SQLCIPHER_INCLUDE_DIR
    VERSION_VAR PC_SQLCIPHER_VERSION)

if(SQLCipher_FOUND AND NOT TARGET SQLCipher::SQLCipher)
    add_library(SQLCipher::SQLCipher UNKNOWN IMPORTED)
    set_target_properties(SQLCipher::SQLCipher PROPERTIES
        IMPORTED_LOCATION "${SQLCIPHER_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${SQLCIPHER_INCLUDE_DIR}"
        INTERFACE_COMPILE_DEFINITIONS "SQLITE_HAS_CODEC")
endif()
mark_as_advanced(SQLCIPHER_INCLUDE_DIR SQLCIPHER_LIBRARY)
