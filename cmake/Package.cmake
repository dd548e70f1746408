# The SDK: headers, import libraries, DLLs with their C++ runtime, and a
# CMake package so that a host says find_package(Tavrel CONFIG REQUIRED).
include(CMakePackageConfigHelpers)
foreach(dll ${TAVREL_RUNTIME_DLLS})
    install(FILES ${dll} ${dll}.debug DESTINATION bin)
endforeach()
install(EXPORT TavrelTargets NAMESPACE Tavrel:: DESTINATION lib/cmake/Tavrel)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TavrelConfig.cmake.in
    ${CMAKE_BINARY_DIR}/TavrelConfig.cmake INSTALL_DESTINATION lib/cmake/Tavrel)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TavrelConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TavrelConfig.cmake ${CMAKE_BINARY_DIR}/TavrelConfigVersion.cmake
    DESTINATION lib/cmake/Tavrel)

# The top of the SDK archive (scripts/package.sh): a package that takes
# x86/ or x64/ by the consumer's pointer size, with a version file that
# checks the version alone.
configure_file(${CMAKE_CURRENT_LIST_DIR}/TavrelSdkConfig.cmake
    ${CMAKE_BINARY_DIR}/sdk-top/TavrelConfig.cmake COPYONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/sdk-top/TavrelConfigVersion.cmake
    COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
