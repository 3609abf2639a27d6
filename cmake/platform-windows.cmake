# The Windows build: the win32 platform folder, WinMain, resources, a static runtime so the
# program needs only DLLs that every Windows has.
file(GLOB WBH_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/win32/*.cpp)
list(REMOVE_ITEM WBH_PLATFORM_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/win32/main.cpp
     ${PROJECT_SOURCE_DIR}/src/platform/win32/lean_runtime.cpp)
# The lean runtime replaces parts of the C++ library in the shipped program only: the tests
# keep the library's own.
set(WBH_ENTRY_SOURCES
    ${PROJECT_SOURCE_DIR}/src/platform/win32/main.cpp
    ${PROJECT_SOURCE_DIR}/src/platform/win32/lean_runtime.cpp
    ${PROJECT_SOURCE_DIR}/resources/webbook-helper.rc)
# windres reads the manifest that the script names, which CMake does not see on its own (the
# tests' folder says it again for the copy it links).
set(WBH_RESOURCE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/webbook-helper.manifest)
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/webbook-helper.rc PROPERTIES
    OBJECT_DEPENDS ${WBH_RESOURCE_DEPENDS})
set(WBH_PLATFORM_LIBRARIES ole32 oleaut32 uuid shell32 advapi32 user32)
set(WBH_PLATFORM_NAME win32)
set(WBH_PLATFORM_TEST_DIR ${PROJECT_SOURCE_DIR}/tests/win32)
add_link_options(-static -static-libgcc -static-libstdc++)
# C++20 here for the size: under C++17 the library declares std::string an explicit instantiation
# of its own, so the first call to any non-inline member links the library's whole string object
# (some 20 KB, every member of it kept: see below). From C++20 on, each member is compiled where it
# is used, and only those are linked.
set(CMAKE_CXX_STANDARD 20)
# Only what the program calls is linked: each function and datum in a section of its own, unused
# sections dropped. (GNU ld keeps every function that has unwind data, as its script keeps all of
# .pdata and .xdata: for code this saves only what is never pulled from an archive.)
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX)
# The same commit gives the same bytes wherever it is built, so a packager can check that the
# program shipped is the one built from the source: the PE header carries no link time (the
# checksum is then the same too), and no source or build folder reaches the program through
# __FILE__ or debugging data.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
add_link_options(-Wl,--no-insert-timestamp)
# The shipped program carries no symbols.
set(WBH_PROGRAM_LINK_OPTIONS -s)
