# The program as a desktop and a distribution see it: its version and identity for the code,
# the installed layout (skin, translations, desktop entry, icons, software-centre data, manual
# pages, shell completion, copyright and changelog) and the Debian package `make package`
# builds from it.

include(${CMAKE_CURRENT_LIST_DIR}/ChangelogReleases.cmake)

# The AppStream component id, also the desktop entry's id. It follows the homepage's domain
# and, once published, never changes: software centres and desktops know the program by it.
set(TOLVEX_APP_ID "invalid.tolvex.VideoConverter")
set(TOLVEX_HOMEPAGE "https://tolvex.invalid/")
set(TOLVEX_CONTACT_NAME "Tolvex Video Converter team")
set(TOLVEX_CONTACT_ADDRESS "team@tolvex.invalid")

# The version lives in project() alone; the code reads it from app/BuildInfo.h.
configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildInfo.h.in ${CMAKE_BINARY_DIR}/generated/app/BuildInfo.h @ONLY)
target_include_directories(tolvex_app_core PUBLIC ${CMAKE_BINARY_DIR}/generated)

# The changelog is the record of the releases: its newest entry must be this version, and its
# entries become the software-centre data's releases.
set(_changelog ${CMAKE_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_changelog})
tolvex_changelog_releases(${_changelog} TOLVEX_RELEASES_XML _changelog_version TOLVEX_RELEASE_DATE)
if(NOT _changelog_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog: the newest entry is ${_changelog_version}, the project's "
                      "version is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()

set(_packaging_out ${CMAKE_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/tolvex-video-converter.metainfo.xml.in
               ${_packaging_out}/${TOLVEX_APP_ID}.metainfo.xml @ONLY)

# Manual pages: written by hand beside the code, dated and versioned here, compressed as
# Debian ships them. Texts without a date keep the package reproducible (gzip -n).
set(_man_pages)
foreach(_program tolvex-video-converter tolvex-cli)
  set(_page ${_packaging_out}/man/${_program}.1)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/man/${_program}.1.in ${_page} @ONLY)
  add_custom_command(OUTPUT ${_page}.gz
    COMMAND gzip -9 -n -f -k ${_page}
    DEPENDS ${_page}
    COMMENT "Compressing ${_program}.1"
    VERBATIM)
  list(APPEND _man_pages ${_page}.gz)
endforeach()
add_custom_target(tolvex_man_pages ALL DEPENDS ${_man_pages})

# The changelog as Debian ships it for a package that is its own upstream.
add_custom_command(OUTPUT ${_packaging_out}/changelog.gz
  COMMAND gzip -9 -n -c ${_changelog} > ${_packaging_out}/changelog.gz
  DEPENDS ${_changelog}
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(tolvex_changelog ALL DEPENDS ${_packaging_out}/changelog.gz)

# Folders are installed rwxr-xr-x whatever the umask of the build, as Debian wants them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)

# Installed layout: the program in bin/, its skin folder where the program looks for it
# (<prefix>/share/tolvex-video-converter/skin) with the translations beside it, and what the
# desktop reads.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/skin/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvex-video-converter/skin)
install(FILES ${TOLVEX_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvex-video-converter/translations)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tolvex-video-converter.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${TOLVEX_APP_ID}.desktop)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tolvex-video-converter.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tolvex-video-converter.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${_packaging_out}/${TOLVEX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/tolvex-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tolvex-cli)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${_packaging_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvex-video-converter)

# `make package`: a Debian package of the installed layout. The libraries it links come from
# dpkg-shlibdeps; what it runs or loads without linking is named here: the ffmpeg program for
# every job, Qt's platform plugins, the libraries the program opens once its window is shown,
# and a font with the Chinese texts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvex-video-converter)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TOLVEX_CONTACT_NAME} <${TOLVEX_CONTACT_ADDRESS}>")
set(CPACK_PACKAGE_VENDOR "Tolvex")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop video toolbox built on ffmpeg")
# Lines of the extended description stay under 80 columns.
# CPack puts the summary above it.
set(CPACK_PACKAGE_DESCRIPTION "Convert, cut, merge, compress and rotate videos, make animated GIFs,
extract the sound, change its volume or lay background music under a
video. One window with a page for each task; every job runs the ffmpeg
program, with its progress and the time left shown for each file.

The package also holds tolvex-cli, which runs the same jobs from the
command line without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TOLVEX_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, qt6-qpa-plugins")
# The libraries the program opens after its window is shown instead of linking them.
get_property(_deferred_packages GLOBAL PROPERTY TOLVEX_DEFERRED_PACKAGES)
list(REMOVE_DUPLICATES _deferred_packages)
foreach(_package IN LISTS _deferred_packages)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${_package}")
endforeach()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei | fonts-noto-cjk")
include(CPack)
