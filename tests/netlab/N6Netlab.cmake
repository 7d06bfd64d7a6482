# The network lab fixture (see netlab.sh): two namespaces joined by a veth pair,
# PC 192.0.2.1/24; devices 192.0.2.10-29/24 and 198.51.100.7/24.
#
# Add a test that runs in the PC namespace, with n6sim (through SimProcess) in the device one:
#
#   n6_add_netlab_test(tst_netlab_x SOURCES tst_netlab_x.cpp LIBS n6testsupport n6lan)
#   n6_add_netlab_test(tst_lan_x_netlab COMMAND $<TARGET_FILE:tst_lan_x> [args...])
#
# Either form may add ENVIRONMENT k=v... The test gets N6_BIND=192.0.2.1,
# N6_BROADCAST=255.255.255.255, N6_SIM_NETNS (the device namespace) and N6_NETLAB_PC_NS, carries
# the label "netlab", requires the fixture (created before, deleted after, also after a failure)
# and is skipped with the reason when namespaces cannot be made. Netlab tests run one at a time.
# Inside, start n6sim without --bind (it binds 0.0.0.0) and give devices addresses of the lab,
# e.g. --first-ip 192.0.2.10,198.51.100.7.

string(MD5 _n6_netlab_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${_n6_netlab_hash}" 0 6 _n6_netlab_id)
set(N6_NETLAB_ID "${_n6_netlab_id}" CACHE INTERNAL "Names the lab's namespaces per build dir")
set(N6_NETLAB_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/netlab.sh" CACHE INTERNAL "")
set(N6_NETLAB_DIR "${CMAKE_BINARY_DIR}/netlab" CACHE INTERNAL "")

function(n6_add_netlab_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;COMMAND;ENVIRONMENT" ${ARGN})
    if(T_SOURCES)
        add_executable(${name} ${T_SOURCES})
        target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
        set(T_COMMAND $<TARGET_FILE:${name}>)
    endif()
    add_test(NAME ${name}
             COMMAND ${N6_NETLAB_SCRIPT} run ${N6_NETLAB_ID} ${N6_NETLAB_DIR} ${T_COMMAND})
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED n6netlab
        RESOURCE_LOCK n6netlab
        LABELS netlab
        SKIP_RETURN_CODE 77
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;N6_BIND=192.0.2.1;N6_BROADCAST=255.255.255.255;${T_ENVIRONMENT}")
endfunction()
