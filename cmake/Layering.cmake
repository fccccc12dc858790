# The layering of the tree, checked when the build is configured and again by the test
# `layering` (which runs this file in script mode), so that a window slipping into a core
# folder fails the build instead of waiting for a reviewer:
#  - a core library links no Qt Widgets, directly or through another library;
#  - a folder's target builds only files of its own folder;
#  - no file outside app/, tests/ and bench/ includes a file of app/ or a widget header.

set(PW_CORE_FOLDERS platform settings options imaging exif naming run cli)

# Every library `target` links, followed through the project's own targets.
function(pw_collect_links target out)
    set(seen "")
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(libs ${current} LINK_LIBRARIES)
        get_target_property(ilibs ${current} INTERFACE_LINK_LIBRARIES)
        foreach(lib IN LISTS libs ilibs)
            if(lib AND NOT lib MATCHES "-NOTFOUND$" AND NOT lib MATCHES "^\\$<")
                list(APPEND queue ${lib})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(pw_check_core_targets)
    foreach(folder IN LISTS PW_CORE_FOLDERS)
        set(target pw_${folder})
        pw_collect_links(${target} links)
        if("Qt6::Widgets" IN_LIST links)
            message(FATAL_ERROR "${target} links Qt Widgets; windows belong in app/")
        endif()
        get_target_property(sources ${target} SOURCES)
        foreach(source IN LISTS sources)
            if(source MATCHES "^\\.\\./" OR source MATCHES "^/")
                message(FATAL_ERROR "${target} builds ${source}, a file outside ${folder}/")
            endif()
        endforeach()
    endforeach()
endfunction()

# Files of the core folders and tools/ that include app/ or a Qt Widgets header.
function(pw_check_includes root)
    set(offenders "")
    foreach(folder IN LISTS PW_CORE_FOLDERS ITEMS tools)
        file(GLOB_RECURSE files "${root}/${folder}/*.h" "${root}/${folder}/*.cpp")
        foreach(file IN LISTS files)
            file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
            foreach(line IN LISTS lines)
                if(line MATCHES "\"app/" OR line MATCHES "<QtWidgets" OR line MATCHES
                   "<Q(Widget|Dialog|Label|PushButton|LineEdit|ComboBox|CheckBox|RadioButton|ListWidget|MessageBox|Application|MainWindow|FileDialog|FontDialog|ScrollArea|[VH]?BoxLayout|GridLayout|AbstractButton|Frame|ButtonGroup)>")
                    file(RELATIVE_PATH rel ${root} ${file})
                    list(APPEND offenders "${rel}: ${line}")
                endif()
            endforeach()
        endforeach()
    endforeach()
    if(offenders)
        list(JOIN offenders "\n  " text)
        message(FATAL_ERROR "core code includes windows:\n  ${text}")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    pw_check_includes(${PW_SOURCE_DIR})
    message(STATUS "layering: no core file includes a window")
endif()
