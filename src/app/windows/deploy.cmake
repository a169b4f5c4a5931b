# Assembles the portable folder of the Windows program (cmake -P): the program, the Qt libraries and
# plugins it loads, the MinGW runtime, Qt's Chinese texts and a qt.conf that finds them. Binaries are
# stripped of their symbols (the C++ runtime alone shrinks from 24 MB to 2 MB). A file is copied again
# only when its source is newer.
# Variables: DEST, STRIP, BINARIES ("source|relative destination" entries joined by "!"), FILES (the same,
# copied as they are), TEXTS (the same, text files written for Windows readers: CR LF line ends and a
# UTF-8 byte order mark, so Notepad shows the README's Chinese whatever the system's code page).
function(deploy entries strip)
    string(REPLACE "!" ";" entries "${entries}")
    foreach(entry IN LISTS entries)
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 0 source)
        list(GET parts 1 target)
        set(target "${DEST}/${target}")
        if(NOT EXISTS "${target}" OR "${source}" IS_NEWER_THAN "${target}")
            get_filename_component(folder "${target}" DIRECTORY)
            file(MAKE_DIRECTORY "${folder}")
            file(COPY_FILE "${source}" "${target}")
            if(strip)
                execute_process(COMMAND "${STRIP}" --strip-unneeded "${target}" RESULT_VARIABLE rc)
                if(NOT rc EQUAL 0)
                    message(FATAL_ERROR "Could not strip ${target}")
                endif()
            endif()
        endif()
    endforeach()
endfunction()

function(deploy_texts entries)
    string(ASCII 239 187 191 bom)
    string(REPLACE "!" ";" entries "${entries}")
    foreach(entry IN LISTS entries)
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 0 source)
        list(GET parts 1 target)
        set(target "${DEST}/${target}")
        if(NOT EXISTS "${target}" OR "${source}" IS_NEWER_THAN "${target}")
            get_filename_component(folder "${target}" DIRECTORY)
            file(MAKE_DIRECTORY "${folder}")
            file(READ "${source}" content)
            string(REPLACE "\r\n" "\n" content "${content}")
            string(REPLACE "\n" "\r\n" content "${content}")
            file(WRITE "${target}" "${bom}${content}")
        endif()
    endforeach()
endfunction()

deploy("${BINARIES}" ON)
deploy("${FILES}" OFF)
deploy_texts("${TEXTS}")
# Qt looks for its translations and plugins beside the program, not where it was built.
file(WRITE "${DEST}/qt.conf.new" "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
file(COPY_FILE "${DEST}/qt.conf.new" "${DEST}/qt.conf" ONLY_IF_DIFFERENT)
file(REMOVE "${DEST}/qt.conf.new")
