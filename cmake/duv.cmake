# Shared build settings for every target of the project.

add_library(duv_options INTERFACE)
target_compile_options(duv_options INTERFACE -Wall -Wextra -fno-omit-frame-pointer)
target_include_directories(duv_options INTERFACE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(duv_options INTERFACE Threads::Threads ${CMAKE_DL_LIBS})

if(DUV_SANITIZE STREQUAL "address")
  target_compile_options(duv_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined)
  target_link_options(duv_options INTERFACE -fsanitize=address,undefined)
  target_compile_definitions(duv_options INTERFACE DUV_ASAN=1)
elseif(DUV_SANITIZE STREQUAL "thread")
  target_compile_options(duv_options INTERFACE -fsanitize=thread)
  target_link_options(duv_options INTERFACE -fsanitize=thread)
  target_compile_definitions(duv_options INTERFACE DUV_TSAN=1)
elseif(NOT DUV_SANITIZE STREQUAL "")
  message(FATAL_ERROR "DUV_SANITIZE must be empty, address or thread")
endif()

if(DUV_POOL_ALLOC)
  target_compile_definitions(duv_options INTERFACE DUV_POOL_ALLOC=1)
endif()

# duv_subsystem(name [DEPS lib...]): one static library from every .cpp in the
# calling folder. New units need no edit here: drop the file in and re-run cmake.
function(duv_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(NOT srcs)
    set(srcs ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC duv_options ${ARG_DEPS})
endfunction()

# duv_layer_link_check(name lib...): links every object of the given layers
# (lowest last) into one program with nothing above them, so a unit of a lower
# layer that needs a higher one fails the build.
function(duv_layer_link_check name)
  set(archives)
  foreach(lib ${ARGN})
    list(APPEND archives $<TARGET_FILE:${lib}>)
  endforeach()
  add_executable(${name} ${CMAKE_SOURCE_DIR}/cmake/layer_check_main.cpp)
  list(GET ARGV 1 top)
  target_link_libraries(${name} PRIVATE duv_options -Wl,--whole-archive ${archives} -Wl,--no-whole-archive ${top})
endfunction()
