# libphonenumber's data for China (Debian python3-phonenumbers), read at build time by the
# generators of the carrier table and of mobileArea.db. Any python3 will do: the scripts
# put the package's folder on their path themselves.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_path(PHONENUMBERS_PACKAGE_DIR phonenumbers/carrierdata/__init__.py
    HINTS ${Python3_SITELIB} ${Python3_SITEARCH}
    PATHS /usr/lib/python3/dist-packages /usr/local/lib/python3/dist-packages
    NO_DEFAULT_PATH)
if(NOT PHONENUMBERS_PACKAGE_DIR)
    message(FATAL_ERROR "libphonenumber's Python data not found: install python3-phonenumbers (scripts/bootstrap)")
endif()
file(GLOB PHONENUMBERS_DATA_FILES
    ${PHONENUMBERS_PACKAGE_DIR}/phonenumbers/carrierdata/*.py
    ${PHONENUMBERS_PACKAGE_DIR}/phonenumbers/geodata/*.py)
