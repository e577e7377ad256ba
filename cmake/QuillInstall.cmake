# Desktop integration: the application icon (drawn at build time by
# tools/makeicon), the install rules for `cmake --install` and the Debian
# package made by `cpack -G DEB`. Everything lands under the install prefix;
# the installed program needs nothing from the source or build tree.
include(GNUInstallDirs)

set(QUILL_APP_ID io.github.quillide.QuillIDE)
# The date of the release PROJECT_VERSION names; change both together.
set(QUILL_RELEASE_DATE 2026-12-10)
set(QUILL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillide)

# ---- icon ---------------------------------------------------------------------

# Whole multiples of the 16-cell drawing; 96 serves a 48-pixel icon at ratio 2.
set(QUILL_ICON_SIZES 16 32 48 64 96 128 256)
set(icon_root ${PROJECT_BINARY_DIR}/icons)
set(icon_pngs)
foreach(size ${QUILL_ICON_SIZES})
  set(png ${icon_root}/hicolor/${size}x${size}/apps/${QUILL_APP_ID}.png)
  list(APPEND icon_pngs ${png})
  set_source_files_properties(${png} PROPERTIES QT_RESOURCE_ALIAS ${size}.png)
endforeach()
set(icon_svg ${icon_root}/hicolor/scalable/apps/${QUILL_APP_ID}.svg)
add_custom_command(
  OUTPUT ${icon_pngs} ${icon_svg}
  COMMAND makeicon ${PROJECT_SOURCE_DIR}/tools/icon.txt ${icon_root} ${QUILL_APP_ID} ${QUILL_ICON_SIZES}
  DEPENDS makeicon ${PROJECT_SOURCE_DIR}/tools/icon.txt
  COMMENT "Drawing the application icon")
add_custom_target(quill_icons ALL DEPENDS ${icon_pngs} ${icon_svg})

# The window icon, every size, under :/icons/<size>.png.
qt_add_resources(quill_ui appicon PREFIX /icons FILES ${icon_pngs})
add_dependencies(quill_ui quill_icons)
target_compile_definitions(quill_ui PRIVATE
  QUILL_VERSION="${PROJECT_VERSION}" QUILL_APP_ID="${QUILL_APP_ID}")

# ---- install tree ---------------------------------------------------------------

configure_file(${PROJECT_SOURCE_DIR}/assets/desktop/${QUILL_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/desktop/${QUILL_APP_ID}.metainfo.xml @ONLY)

# System libraries only: no run path into the build tree or next to the program.
set_target_properties(QuillIDE PROPERTIES INSTALL_RPATH "")
install(TARGETS QuillIDE RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/${QUILL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/desktop/${QUILL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${QUILL_ICON_SIZES})
  install(FILES ${icon_root}/hicolor/${size}x${size}/apps/${QUILL_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${QUILL_DOC_DIR})

# The engines the program carries into every workspace, with their licences,
# from the pinned packages the build embeds.
set(engine_licenses
  "three/LICENSE\;three.js"
  "stage-js/LICENSE.md\;stage-js"
  "soundjs/LICENSE.txt\;soundjs"
  "sprintf-js/LICENSE\;sprintf-js")
foreach(entry ${engine_licenses})
  list(GET entry 0 file)
  list(GET entry 1 name)
  install(FILES ${PROJECT_SOURCE_DIR}/node_modules/${file}
          DESTINATION ${QUILL_DOC_DIR}/engines RENAME ${name}-LICENSE)
endforeach()

# ---- Debian package ----------------------------------------------------------

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillide)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "touch-first IDE for small JavaScript games")
set(CPACK_PACKAGE_DESCRIPTION
  "QuillIDE is a development environment for small JavaScript games, made for
touch screens first. Type game code on an on-screen keyboard, draw pixel
sprites, press Run and play the game in the built-in web view; export packs
the game with every file it loads into a zip archive.")
set(CPACK_PACKAGE_CONTACT "The QuillIDE developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The libraries the executable links, found by dpkg-shlibdeps, plus Qt's
# platform plugins, which it loads at run time to open any window.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
