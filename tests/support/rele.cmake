# Relay board helpers: the simulated board on a pseudo-terminal, linked into a test's program
# folder as COMn.
add_library(support_rele INTERFACE)
target_include_directories(support_rele INTERFACE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(support_rele INTERFACE support_base simulador_rele)
