# The publisher of the programs the installer downloads and starts: the
# SHA-256 of the maker's code-signing certificate, as certificate tools print
# it (hexadecimal in any case; colons and blanks ignored). Several, separated
# by ";", let a renewed certificate take over from the old one. The installer
# reads it with src/services/trust/PublisherList.cpp.

# kanvel_publisher_problem(VALUE OUT_PROBLEM OUT_NORMALISED): OUT_PROBLEM is
# empty when VALUE is well formed; OUT_NORMALISED is then VALUE as lower-case
# hexadecimal values joined by ";" (empty for an empty VALUE).
function(kanvel_publisher_problem value out_problem out_normalised)
  set(problem "")
  set(normalised "")
  foreach(entry IN LISTS value)
    string(REGEX REPLACE "[: \t]" "" digits "${entry}")
    if(digits STREQUAL "")
      continue()
    endif()
    string(LENGTH "${digits}" length)
    if(NOT digits MATCHES "^[0-9A-Fa-f]+$" OR NOT length EQUAL 64)
      set(problem "\"${entry}\" is not a SHA-256 value (64 hexadecimal digits; colons and blanks may separate them)")
      break()
    endif()
    string(TOLOWER "${digits}" digits)
    list(APPEND normalised "${digits}")
  endforeach()
  set(${out_problem} "${problem}" PARENT_SCOPE)
  set(${out_normalised} "${normalised}" PARENT_SCOPE)
endfunction()
