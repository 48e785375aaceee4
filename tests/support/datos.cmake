# Station databases for tests: a temporary program folder holding "Portiva.mdb" made by the
# database creation tool, with the rows each test asks for.
add_library(support_datos INTERFACE)
target_link_libraries(support_datos INTERFACE support_base creardb)
