# Which maker's host settings the build accepts: run with cmake -P.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/MakerHost.cmake)

foreach(host www.tarrow.example localhost 127.0.0.1 a-b.example:8080 x.y:1 x.y:65535 x.y:080 A1.b2-c.D3)
  zembo_maker_host_problem("${host}" problem)
  if(problem)
    message(SEND_ERROR "'${host}' is refused: ${problem}")
  endif()
endforeach()

foreach(host "" x.y:0 x.y:000 x.y:65536 x.y:99999 x.y:123456789012345678901 a..b .a a. a.b. -a.b a-.b a_b
        "a b" x.y: :80 x.y:8:8 x.y:-1 "x.y:80 ")
  zembo_maker_host_problem("${host}" problem)
  if(NOT problem)
    message(SEND_ERROR "'${host}' is accepted")
  endif()
endforeach()
