# Synthetic fingerprints for the engine and access tests: the fixed test set, generated in
# memory once per test process.
add_library(support_huellas STATIC ${CMAKE_CURRENT_LIST_DIR}/HuellasSinteticas.cpp)
target_include_directories(support_huellas PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(support_huellas PUBLIC fpsynth)
portiva_warnings(support_huellas)
set_target_properties(support_huellas PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
