# One library per source folder, made of every .cpp in it (and, with RECURSE, in its subfolders:
# the engine keeps one folder per subsystem). Which folder may include which is checked by the
# include_edges test (cmake/CheckIncludeEdges.cmake), not by the include path.
function(zev7_add_library name)
    cmake_parse_arguments(L "RECURSE" "" "LIBS" ${ARGN})
    if(L_RECURSE)
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    else()
        file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()
