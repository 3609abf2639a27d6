# The POSIX build: the posix platform folder (its job folders: dialogs, registry, text_files,
# desktop) and a plain main at its root.
file(GLOB_RECURSE WBH_PLATFORM_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/platform/posix/*.cpp)
list(REMOVE_ITEM WBH_PLATFORM_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/posix/main.cpp)
# The GTK windows are a module of their own (window_module.h), not in the program.
file(GLOB WBH_WINDOW_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/platform/posix/dialogs/gtk_*.cpp)
list(REMOVE_ITEM WBH_WINDOW_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/posix/dialogs/gtk_module.cpp)
list(REMOVE_ITEM WBH_PLATFORM_SOURCES ${WBH_WINDOW_SOURCES}
     ${PROJECT_SOURCE_DIR}/src/platform/posix/dialogs/gtk_module.cpp)
# The dialog manager's rules are the terminal dialog's and the windows' alike, and the display
# probe is the program's (which tries the displays while the module loads) and the windows'
# (which try them when not given them): compiled into both, as the module links nothing of the
# program. Where both libraries are linked (the window tests), the first one's copy serves, as
# both are built from the same source.
list(APPEND WBH_WINDOW_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/posix/dialogs/dialog_manager.cpp
     ${PROJECT_SOURCE_DIR}/src/platform/posix/dialogs/display_probe.cpp)
set(WBH_ENTRY_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/posix/main.cpp)
# The registry is an SQLite file (libsqlite3-dev).
find_package(SQLite3 REQUIRED)
# The dialogs are GTK 3 windows on a graphical desktop (libgtk-3-dev), in a module that the
# program opens with dlopen when a dialog is about to be shown: the program still runs in a
# terminal when no display can be opened or GTK is missing. Xlib, which GTK loads anyway, is
# called directly from the module to end the window's process quietly once an X display has
# gone. The displays are tried before GTK waits on one, on threads, through Xlib or the Wayland
# client library loaded for them (display_probe.h), as the program links neither.
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(DISPLAYS REQUIRED IMPORTED_TARGET x11)
pkg_check_modules(FONTS REQUIRED IMPORTED_TARGET fontconfig)
set(WBH_PLATFORM_LIBRARIES SQLite::SQLite3 Threads::Threads ${CMAKE_DL_LIBS})
set(WBH_WINDOW_LIBRARIES PkgConfig::GTK3 PkgConfig::DISPLAYS PkgConfig::FONTS)
set(WBH_PLATFORM_NAME posix)
set(WBH_PLATFORM_TEST_DIR ${PROJECT_SOURCE_DIR}/tests/posix)
# The C++ library is linked into the program and into the windows' module: loading
# libstdc++.so and its 1,700 symbol look-ups cost more than starting a small program does. The
# module keeps its copy to itself. The unwinder stays the shared libgcc_s: an exception may cross
# between the program and the module (a handler's, out of memory), and two unwinders in one
# process abort on each other's frames. The module's own calls into GTK and Xlib are bound when
# it is loaded (-z now), so that a library without one of them fails the load (window_module.cpp).
set(WBH_PROGRAM_LINK_OPTIONS -static-libstdc++ -Wl,-O1,--as-needed,--gc-sections)
set(WBH_WINDOW_MODULE_LINK_OPTIONS ${WBH_PROGRAM_LINK_OPTIONS} -Wl,--exclude-libs,ALL -Wl,-z,now)
