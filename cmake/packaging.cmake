# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Install rules, and CPack: a Debian package on Linux, a zip on Windows.
include(GNUInstallDirs)
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
# Folders are made 755 whatever the umask of whoever installs or packages.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  # Unpacked anywhere, the .exe runs beside its two documents.
  install(TARGETS surface-viewer RUNTIME DESTINATION .)
  install(FILES README.md LICENSE DESTINATION .)
else()
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/surface-viewer)
  install(TARGETS surface-viewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The licence is in Debian's copyright file beside the README (below).
  install(FILES README.md DESTINATION ${doc_dir})
  install(FILES ${packaging_dir}/surface-viewer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${packaging_dir}/surface-viewer.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
  # For software centres: AppStream's description of the program.
  configure_file(${packaging_dir}/surface-viewer.metainfo.xml.in surface-viewer.metainfo.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/surface-viewer.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
          RENAME example.c_seed_47687340.surface_viewer.metainfo.xml)

  # Debian wants manual pages and changelogs compressed, without a time stamp
  # in the gzip header so that two builds give the same package.
  configure_file(${packaging_dir}/changelog.in changelog @ONLY)
  foreach(file IN ITEMS ${packaging_dir}/surface-viewer.1 ${CMAKE_CURRENT_BINARY_DIR}/changelog)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${name}.gz
      COMMAND gzip -9nc ${file} > ${name}.gz
      DEPENDS ${file} VERBATIM)
    list(APPEND compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS ${compressed})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/surface-viewer.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # Debian's copyright file in its machine-readable format: LICENSE's
  # copyright line and text, the text as a License paragraph (each line
  # indented, blank lines as " .").
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${licence}")
  set(COPYRIGHT_LINE "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]+\n" "" licence "${licence}")
  string(STRIP "${licence}" licence)
  string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REGEX REPLACE "\n" "\n " LICENSE_TEXT " ${licence}")
  configure_file(${packaging_dir}/copyright.in copyright @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${doc_dir})

  # Only in the Debian package: its changelog, at the path Debian gives it.
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir}
          COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME surface-viewer)
set(CPACK_PACKAGE_VENDOR "surface-viewer contributors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for surfaces of revolution")
set(CPACK_PACKAGE_DESCRIPTION
  "surface-viewer opens one OpenGL window and shows one of seven surfaces of
revolution at a time: a cylinder, a barrel, two funnels, a torus and others,
each drawn as a grid of flat-shaded cells with black outlines under one light,
with its formula in the corner. Any character key shows the next surface; Esc
ends the program. It uses fixed-function OpenGL, GLU and freeglut.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME surface-viewer-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Both the default files and the Debian-only ones, in one package.
  set(CPACK_INSTALL_CMAKE_PROJECTS
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/"
    "${PROJECT_BINARY_DIR};${PROJECT_NAME};debian;/")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "surface-viewer contributors <maintainers@users.noreply.c-seed-47687340.example>")
  # The runtime libraries the executable links, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
