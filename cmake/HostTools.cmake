# The Windows builds run tools of the host (the payload packer, the registry patch script
# checker) while they build. They build those tools themselves, from this same source tree,
# with the host compiler, into <build>/host-tools; the tools land in <build>/host-tools/bin.
include(ExternalProject)

set(PINDLE_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools/bin)
ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools
  CMAKE_ARGS -DPINDLE_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
             -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")

# The path of a host tool, for add_custom_command; depend on the target host_tools as well.
function(pindle_host_tool_path name out)
  set(${out} ${PINDLE_HOST_TOOLS_DIR}/${name} PARENT_SCOPE)
endfunction()
