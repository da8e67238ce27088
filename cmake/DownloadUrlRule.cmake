# The rule for the download base URL. The installer runs what it downloads
# (the engine installer right after its download, the program from
# "Uruchom"), so a download that leaves the machine must come over HTTPS,
# where Windows checks the server's certificate. Plain HTTP is harmless only
# on the machine itself: 127.0.0.0/8, localhost and [::1].

# kanvel_is_loopback_host(HOST OUT_VAR): HOST as written in a URL (an IPv6
# address in brackets), compared without regard to case.
function(kanvel_is_loopback_host host out_var)
  string(TOLOWER "${host}" host)
  set(loopback FALSE)
  if(host STREQUAL "localhost" OR host STREQUAL "[::1]" OR host STREQUAL "[0:0:0:0:0:0:0:1]")
    set(loopback TRUE)
  elseif(host MATCHES "^127\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    set(loopback TRUE)
    foreach(part ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
      if(part GREATER 255 OR part MATCHES "^0[0-9]")
        set(loopback FALSE)
      endif()
    endforeach()
  endif()
  set(${out_var} ${loopback} PARENT_SCOPE)
endfunction()

# kanvel_download_url_problem(URL ALLOW_PLAIN_HTTP OUT_VAR): OUT_VAR is empty
# when URL may be built in, else it says why not.
function(kanvel_download_url_problem url allow_plain out_var)
  set(problem "")
  if(NOT url MATCHES "^([A-Za-z][A-Za-z0-9+.-]*)://([^/?#]*)(.*)$")
    set(problem "it is not an absolute URL (https://host[:port]/path/)")
  else()
    string(TOLOWER "${CMAKE_MATCH_1}" scheme)
    set(authority "${CMAKE_MATCH_2}")
    set(rest "${CMAKE_MATCH_3}")
    # Whatever comes before an "@" is user information, not the host.
    string(REGEX REPLACE "^.*@" "" host_and_port "${authority}")
    if(host_and_port MATCHES "^(\\[[^]]*\\])(:[0-9]*)?$")
      set(host "${CMAKE_MATCH_1}")
    elseif(host_and_port MATCHES "^([^:]*)(:[0-9]*)?$")
      set(host "${CMAKE_MATCH_1}")
    else()
      set(host "")
    endif()
    kanvel_is_loopback_host("${host}" loopback)
    if(host STREQUAL "")
      set(problem "it names no host")
    elseif(NOT rest MATCHES "/$")
      set(problem "it must end in \"/\" (the server folders are appended to it)")
    elseif(scheme STREQUAL "https")
      set(problem "")
    elseif(NOT scheme STREQUAL "http")
      set(problem "the installer downloads over https:// (or http:// on this machine), not ${scheme}://")
    elseif(NOT loopback AND NOT allow_plain)
      string(CONCAT problem "plain HTTP to ${host} lets anyone on the network path replace the programs the installer "
                  "downloads and then runs, and read the download credentials. Use an https:// URL; plain "
                  "http:// is accepted for loopback hosts (127.0.0.0/8, localhost, [::1]) or with "
                  "-DKANVEL_ALLOW_PLAIN_HTTP=ON")
    endif()
  endif()
  set(${out_var} "${problem}" PARENT_SCOPE)
endfunction()
