# The Tavrel SDK for both architectures. find_package(Tavrel CONFIG) with
# this folder in CMAKE_PREFIX_PATH loads the package of the architecture the
# consumer builds for: x86/ for 32-bit code, x64/ for 64-bit code.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_tavrel_arch x64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(_tavrel_arch x86)
else()
    set(Tavrel_FOUND FALSE)
    set(Tavrel_NOT_FOUND_MESSAGE
        "the pointer size is unknown: enable C or CXX in project() before find_package(Tavrel)")
    return()
endif()
include("${CMAKE_CURRENT_LIST_DIR}/${_tavrel_arch}/lib/cmake/Tavrel/TavrelConfig.cmake")
unset(_tavrel_arch)
