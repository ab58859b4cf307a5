# Installing Talvenix like a desktop program, and the Debian package (CPack).
#
#   <prefix>/bin                         talvenix, talvenix-cli
#   <prefix>/<libdir>/talvenix           libPelloran.so, libPelloranSim.so (private: found at run
#                                        time by platform/InstallLayout, never by the linker)
#   <prefix>/share/talvenix/Skins        the skin: layout files, pictures, language.ini
#   <prefix>/share/man/man1              talvenix-cli.1
#   <prefix>/share/applications          the desktop entry
#   /etc/xdg/autostart                   the autostart entry (talvenix /Start)
#   <prefix>/share/icons/hicolor         the icons
#   <prefix>/share/metainfo              the AppStream metainfo
#   <prefix>/lib/udev/rules.d            70-talvenix.rules
include(GNUInstallDirs)

set(TALVENIX_APP_ID org.talvenix.Talvenix)
set(TALVENIX_PKGLIBDIR ${CMAKE_INSTALL_LIBDIR}/talvenix)
set(TALVENIX_PKGDATADIR ${CMAKE_INSTALL_DATADIR}/talvenix)
set(TALVENIX_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "udev rules folder, relative to the prefix")
# Desktops read autostart entries from $XDG_CONFIG_DIRS (/etc/xdg) only, whatever the prefix.
set(TALVENIX_AUTOSTART_DIR "/etc/xdg/autostart" CACHE STRING "XDG autostart folder")

foreach(program talvenix talvenix-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT talvenix)
  endif()
endforeach()
foreach(lib Pelloran PelloranSim)
  if(TARGET ${lib})
    install(TARGETS ${lib} LIBRARY DESTINATION ${TALVENIX_PKGLIBDIR} COMPONENT talvenix)
  endif()
endforeach()

# The skin as the build made it (texts copied, pictures painted by skingen).
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/Skins DESTINATION ${TALVENIX_PKGDATADIR} COMPONENT talvenix)

# Manual pages are installed compressed, as Debian wants them.
find_program(GZIP_PROGRAM gzip)
set(man_gz ${CMAKE_BINARY_DIR}/packaging/talvenix-cli.1.gz)
set(gui_man_gz ${CMAKE_BINARY_DIR}/packaging/talvenix.1.gz)
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${man_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/talvenix-cli.1 > ${man_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/talvenix-cli.1 VERBATIM)
add_custom_command(OUTPUT ${gui_man_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/talvenix.1 > ${gui_man_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/talvenix.1 VERBATIM)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/debian/changelog > ${changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog VERBATIM)
add_custom_target(talvenix_packaging_files ALL DEPENDS ${man_gz} ${gui_man_gz} ${changelog_gz})
install(FILES ${man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT talvenix)
if(TARGET talvenix)
  install(FILES ${gui_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT talvenix)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/70-talvenix.rules
  DESTINATION ${TALVENIX_UDEV_RULES_DIR} COMPONENT talvenix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/desktop/${TALVENIX_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT talvenix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/desktop/${TALVENIX_APP_ID}-autostart.desktop
  DESTINATION ${TALVENIX_AUTOSTART_DIR} RENAME ${TALVENIX_APP_ID}.desktop COMPONENT talvenix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/metainfo/${TALVENIX_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT talvenix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${TALVENIX_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT talvenix)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${changelog_gz}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/talvenix COMPONENT talvenix)

# PNG icons, painted by a small Qt tool (needs Qt's Gui module, as the configurator does).
if(TALVENIX_BUILD_GUI)
  find_package(Qt6 QUIET COMPONENTS Gui)
endif()
if(TALVENIX_BUILD_GUI AND TARGET Qt6::Gui)
  add_executable(talvenix_icongen ${PROJECT_SOURCE_DIR}/packaging/icons/IconGen.cpp)
  target_link_libraries(talvenix_icongen PRIVATE Qt6::Gui)
  set_target_properties(talvenix_icongen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
  set(icon_sizes 16 24 32 48 64 128 256)
  set(icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
  add_custom_command(OUTPUT ${icon_dir}/256x256/${TALVENIX_APP_ID}.png
    COMMAND talvenix_icongen ${icon_dir} ${icon_sizes}
    DEPENDS talvenix_icongen VERBATIM)
  add_custom_target(talvenix_icons ALL DEPENDS ${icon_dir}/256x256/${TALVENIX_APP_ID}.png)
  foreach(size ${icon_sizes})
    install(FILES ${icon_dir}/${size}x${size}/${TALVENIX_APP_ID}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT talvenix)
  endforeach()
endif()

# ---- the Debian package: cpack -G DEB in the build folder ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvenix)
set(CPACK_PACKAGE_VENDOR "The Talvenix developers")
set(CPACK_PACKAGE_CONTACT "The Talvenix developers <developers@talvenix.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for a USB gaming keyboard")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Reads the configuration stored in the keyboard when it is plugged in
(key assignments of three hardware profiles, macros, lighting and per-key
colours), lets the user change it and writes it back. Includes the desktop
program, talvenix-cli for scripts and terminals, and a udev rule that lets
the user at the seat reach the keyboard's configuration interfaces.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev")
# dpkg-shlibdeps must see the private libraries too.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The autostart entry lives in /etc: the admin may change or disable it, and upgrades keep that.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/conffiles)
include(CPack)
