# Installed layout under the prefix, and the Debian package made from it by CPack:
#   bin/vexa-recorder
#   share/vexa-recorder/Languages/*.ini, share/vexa-recorder/manual/ (when docs/manual exists),
#   share/vexa-recorder/screenshots/vexa-recorder.png
#   share/applications/com.quandrel.VexaRecorder.desktop
#   share/metainfo/com.quandrel.VexaRecorder.metainfo.xml
#   share/icons/hicolor/<n>x<n>/apps/vexa-recorder.png (drawn by tools/skingen at build time)
# The program finds its language files beside itself first (build tree), then in
# ../share/vexa-recorder (platform::ResourcePaths).
include(GNUInstallDirs)

set(VEXA_APP_ID com.quandrel.VexaRecorder)
set(VEXA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vexa-recorder)

install(TARGETS vexa-recorder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The codec module, where the program looks for it: <prefix>/lib/vexa-recorder (not the
# multiarch folder: it is the program's own, not a library for others).
install(TARGETS vexa-codecs LIBRARY DESTINATION lib/vexa-recorder)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/languages/ DESTINATION ${VEXA_DATA_DIR}/Languages)
if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/manual/ DESTINATION ${VEXA_DATA_DIR}/manual)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/docs/vexa-recorder.png DESTINATION ${VEXA_DATA_DIR}/screenshots)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VEXA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The address where docs/vexa-recorder.png is published, for the AppStream screenshot.
set(VEXA_SCREENSHOT_URL "" CACHE STRING
    "Web address of the screenshot for the AppStream metadata (empty: none)")
include(${CMAKE_CURRENT_LIST_DIR}/VexaMetainfo.cmake)
vexa_write_metainfo(${CMAKE_SOURCE_DIR}/packaging/${VEXA_APP_ID}.metainfo.xml.in
                    ${CMAKE_BINARY_DIR}/packaging/${VEXA_APP_ID}.metainfo.xml
                    "${VEXA_SCREENSHOT_URL}")
install(FILES ${CMAKE_BINARY_DIR}/packaging/${VEXA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons: the skin art generator (tools/, added after this file) draws them at every usual size.
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/skingen/main.cpp)
  set(icon_dir ${CMAKE_BINARY_DIR}/icons/hicolor)
  add_custom_command(OUTPUT ${icon_dir}/256x256/apps/vexa-recorder.png
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:skingen> --icons ${icon_dir} vexa-recorder
    DEPENDS skingen
    COMMENT "Drawing the program icons")
  add_custom_target(vexa_icons ALL DEPENDS ${icon_dir}/256x256/apps/vexa-recorder.png)
  install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

# The package's documentation folder: copyright and the changelog, compressed as Debian wants
# it (gzip -9n: no name or time stamp, so the package builds the same every time).
set(VEXA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vexa-recorder)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog")
add_custom_target(vexa_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${VEXA_DOC_DIR})

# Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME vexa-recorder)
set(CPACK_PACKAGE_VENDOR Quandrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small sound recorder for WAV, MP3 and WMA files")
set(CPACK_PACKAGE_DESCRIPTION
"Vexa Recorder records sound from a chosen line into the next free numbered
file of the recordings folder (WAV, MP3 through LAME, WMA through FFmpeg),
and lists, plays, renames and deletes the recordings in a skinned window.")
set(CPACK_PACKAGE_CONTACT "Quandrel <vexa-recorder@quandrel.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Shared libraries are found through the system's ldconfig cache; the program links no
# private ones.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# No maintainer scripts: CPack would write a postinst and a postrm that run ldconfig because
# the codec module lies under usr/lib, but it lies in a private folder that ldconfig does not
# search, and a postrm keeps the removed package listed as "config files remain" until it is
# purged. CPack writes its own scripts only when the control files name none; these two names
# are never created, so CPack notes them as missing and the package has no scripts at all.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_BINARY_DIR}/packaging/no-scripts/postinst"
                                       "${CMAKE_BINARY_DIR}/packaging/no-scripts/postrm")
# The desktop's PulseAudio-compatible server (PulseAudio or PipeWire's) is what it records from.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_GENERATOR DEB)
include(CPack)
