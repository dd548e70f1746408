# The C++ runtime DLLs of the cross compiler (libstdc++, libgcc, winpthread),
# for the modules that share them (Tavrel.dll, afx.dll and C++ hosts):
# stripped copies beside the binaries, their debug information split off as
# for the project's own DLLs, both installed.
function(tavrel_runtime_dll_names out_var)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
        set(gcc_dll libgcc_s_dw2-1.dll)
    else()
        set(gcc_dll libgcc_s_seh-1.dll)
    endif()
    set(${out_var} libstdc++-6.dll ${gcc_dll} libwinpthread-1.dll PARENT_SCOPE)
endfunction()

# The compiler's own copies of the runtime DLLs, unstripped, in out_var.
function(tavrel_runtime_dll_originals out_var)
    tavrel_runtime_dll_names(names)
    set(paths)
    foreach(name ${names})
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT EXISTS "${path}")
            message(FATAL_ERROR "runtime DLL ${name} not found")
        endif()
        get_filename_component(path "${path}" REALPATH)
        list(APPEND paths ${path})
    endforeach()
    set(${out_var} ${paths} PARENT_SCOPE)
endfunction()

# Copies and strips each runtime DLL into dir once (again when the compiler's
# copy changes), and sets out_var to the copies.
function(tavrel_copy_runtime_dlls dir out_var)
    tavrel_runtime_dll_originals(originals)
    set(copies)
    foreach(path ${originals})
        get_filename_component(name "${path}" NAME)
        set(copy ${dir}/${name})
        if(NOT EXISTS ${copy}.debug OR "${path}" IS_NEWER_THAN ${copy}.debug)
            file(COPY ${path} DESTINATION ${dir})
            tavrel_split_debug_info_of_file(${copy})
        endif()
        list(APPEND copies ${copy})
    endforeach()
    set(${out_var} ${copies} PARENT_SCOPE)
endfunction()
