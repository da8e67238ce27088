# kanvel_build_settings(OUTPUT URL PUBLISHER PLAIN_HTTP_ALLOWED)
# Makes OUTPUT, the one source file that holds what an installer is built
# with (src/services/installer/BuildSettings.cpp.in): its download base URL, the
# normalised publisher list (may be empty) and 1 or 0 for plain HTTP to
# another machine. Only this file differs between installers built for other
# servers or makers; configure_file leaves it untouched when nothing changed,
# so nothing is compiled again. Usable in a project and in script mode.
set(KANVEL_BUILD_SETTINGS_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/../src/services/installer/BuildSettings.cpp.in)

function(kanvel_build_settings output url publisher plain_http_allowed)
  set(KANVEL_DOWNLOAD_BASE_URL "${url}")
  set(KANVEL_PUBLISHER_NORMALISED "${publisher}")
  set(KANVEL_PLAIN_HTTP_ALLOWED ${plain_http_allowed})
  configure_file(${KANVEL_BUILD_SETTINGS_TEMPLATE} ${output} @ONLY)
endfunction()
