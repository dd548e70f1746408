# What every build of the shipped code shares, so that two builds of one
# commit give the same bytes wherever they happen (scripts/package.sh keeps
# the debug information in files of its own and strips the binaries):
# paths recorded as /tavrel (sources) and /tavrel-build (the build folder)
# rather than the folders of this machine, and no link time in the PE header.
# The build folder's map comes second: it may lie inside the sources, and
# the compiler tries the maps from the last one given.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=/tavrel
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=/tavrel-build)
add_link_options(-Wl,--no-insert-timestamp)

# tavrel_shipped_code(TARGET...): code that goes into the SDK's binaries,
# built with debug information (split off at packaging) and with a section
# of its own for each function and datum, so that a module linking it can
# leave out what it never calls.
function(tavrel_shipped_code)
    foreach(target ${ARGN})
        target_compile_options(${target} PRIVATE -g -ffunction-sections -fdata-sections)
    endforeach()
endfunction()

find_program(TAVREL_OBJCOPY NAMES ${TAVREL_TRIPLE}-objcopy REQUIRED)
# objcopy stamps the PE header it rewrites with the time of day unless
# SOURCE_DATE_EPOCH names one: 0, as the linker's --no-insert-timestamp.
set(TAVREL_OBJCOPY_RUN ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${TAVREL_OBJCOPY})

# tavrel_split_debug_info(TARGET...): after each link, the debug information
# moves to <file>.debug beside the binary, which is then stripped and names
# that file (with its checksum) in a .gnu_debuglink section, where gdb and
# addr2line look for it. Both are installed.
function(tavrel_split_debug_info)
    foreach(target ${ARGN})
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${TAVREL_OBJCOPY_RUN} --only-keep-debug $<TARGET_FILE:${target}>
                    $<TARGET_FILE:${target}>.debug
            COMMAND ${TAVREL_OBJCOPY_RUN} --strip-all
                    --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
            VERBATIM)
        install(FILES $<TARGET_FILE:${target}>.debug DESTINATION bin)
    endforeach()
endfunction()

# tavrel_split_debug_info_of_file(FILE): the same for a binary that is not
# built here (the cross compiler's runtime DLLs), at configure time.
function(tavrel_split_debug_info_of_file file)
    execute_process(COMMAND ${TAVREL_OBJCOPY_RUN} --only-keep-debug ${file} ${file}.debug
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${TAVREL_OBJCOPY_RUN} --strip-all --add-gnu-debuglink=${file}.debug ${file}
                    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# tavrel_link_runtime_statically(TARGET): a module that shares no C++ runtime
# with another (TavrelC.dll, a host that loads only it): not the shared libgcc
# that the other modules link; -static takes libstdc++, libgcc and
# winpthread from their archives.
function(tavrel_link_runtime_statically target)
    get_directory_property(link_options LINK_OPTIONS)
    list(REMOVE_ITEM link_options -shared-libgcc)
    set_target_properties(${target} PROPERTIES LINK_OPTIONS "${link_options}")
    target_link_options(${target} PRIVATE -static)
endfunction()
