# The check of the maker's web host setting, kept apart so that a test can run it.

# Sets out to what is wrong with value as the maker's host, or to "" when nothing is: a
# host name is dot-separated labels of letters, digits and inner hyphens, none empty,
# optionally followed by :port with a port from 1 to 65535.
function(zembo_maker_host_problem value out)
  set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
  set(problem "")
  if(NOT value MATCHES "^${label}(\\.${label})*(:[0-9]+)?$")
    set(problem "must be a host name (labels of letters, digits and inner hyphens, each separated by one dot) with an optional :port")
  elseif(value MATCHES ":0*([0-9]+)$")
    set(port "${CMAKE_MATCH_1}")
    string(LENGTH "${port}" digits)
    if(digits GREATER 5 OR port LESS 1 OR port GREATER 65535)
      set(problem "has port ${port}; a port is from 1 to 65535")
    endif()
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()
