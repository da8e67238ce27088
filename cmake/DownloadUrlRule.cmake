# The rule for the download base URL. The installer runs what it downloads
# (the engine installer right after its download, the program from
# "Uruchom"), so a download that leaves the machine must come over HTTPS,
# where Windows checks the server's certificate. Plain HTTP is harmless only
# on the machine itself: 127.0.0.0/8, localhost and [::1].
#
# A URL is read as WinHTTP reads one, so it is taken only when it comes apart
# one way: "http[s]://host[:port]/path/" with no user information and no "?",
# "#" or "\" anywhere (a parser that reads those differently would connect to
# another host than the one this rule saw). The installer applies the same
# rule again before every download (src/services/http/DownloadUrlRule.cpp); both
# are tested on tests/native/download-url-cases.txt.

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
  set(host "")
  # Scheme, authority up to the first "/", and the path.
  if(NOT url MATCHES "^([A-Za-z][A-Za-z0-9+.-]*)://([^/]*)(/.*)?$")
    set(problem "it is not an absolute URL (https://host[:port]/path/)")
  else()
    string(TOLOWER "${CMAKE_MATCH_1}" scheme)
    set(authority "${CMAKE_MATCH_2}")
    set(path "${CMAKE_MATCH_3}")
    set(port "")
    set(has_port "")
    if(authority MATCHES "^(\\[[0-9A-Fa-f:.]+\\])(:([0-9]*))?$")
      set(host "${CMAKE_MATCH_1}")
      set(has_port "${CMAKE_MATCH_2}")
      set(port "${CMAKE_MATCH_3}")
    elseif(authority MATCHES "^([A-Za-z0-9.-]+)(:([0-9]*))?$")
      set(host "${CMAKE_MATCH_1}")
      set(has_port "${CMAKE_MATCH_2}")
      set(port "${CMAKE_MATCH_3}")
    endif()
    if(NOT scheme STREQUAL "https" AND NOT scheme STREQUAL "http")
      set(problem "the installer downloads over https:// (or http:// on this machine), not ${scheme}://")
    elseif(host STREQUAL "")
      string(CONCAT problem "its host part \"${authority}\" does not come apart cleanly (no user information, "
                    "\"?\", \"#\" or \"\\\" before the path; a host name, an IPv4 address or an IPv6 address in brackets)")
    elseif(has_port AND (port STREQUAL "" OR port MATCHES "^0+$" OR port GREATER 65535 OR port MATCHES "^[0-9][0-9][0-9][0-9][0-9][0-9]"))
      set(problem "its port is not a number from 1 to 65535")
    elseif(NOT path MATCHES "/$")
      set(problem "it must end in \"/\" (the server folders are appended to it)")
    elseif(NOT path MATCHES "^[-A-Za-z0-9._~!$&'()*+,;=:@%/]*$")
      set(problem "its path holds characters a URL path does not hold unescaped (\"?\", \"#\", \"\\\", blanks...)")
    elseif(scheme STREQUAL "http" AND NOT allow_plain)
      kanvel_is_loopback_host("${host}" loopback)
      if(NOT loopback)
        string(CONCAT problem "plain HTTP to ${host} lets anyone on the network path replace the programs the installer "
                      "downloads and then runs, and read the download credentials. Use an https:// URL; plain "
                      "http:// is accepted for loopback hosts (127.0.0.0/8, localhost, [::1]) or with "
                      "-DKANVEL_ALLOW_PLAIN_HTTP=ON")
      endif()
    endif()
  endif()
  set(${out_var} "${problem}" PARENT_SCOPE)
endfunction()

# kanvel_download_url_is_local(URL OUT_VAR): TRUE when URL is accepted as
# plain HTTP without the switch and names a loopback host, whatever its scheme.
function(kanvel_download_url_is_local url out_var)
  set(local FALSE)
  string(REGEX REPLACE "^[Hh][Tt][Tt][Pp][Ss]://" "http://" as_plain "${url}")
  if(as_plain MATCHES "^[Hh][Tt][Tt][Pp]://")
    kanvel_download_url_problem("${as_plain}" OFF problem)
    if(NOT problem)
      set(local TRUE)
    endif()
  endif()
  set(${out_var} ${local} PARENT_SCOPE)
endfunction()
