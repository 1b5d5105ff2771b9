# cmake -DSOURCE_DIR=... -DOUTPUT=... -P GitRevision.cmake
# Writes OUTPUT, a header defining VANDREL_GIT_REVISION: the short commit of SOURCE_DIR, with
# "-dirty" when tracked files differ from it, or "unknown" when SOURCE_DIR is not the top of a
# git checkout (a source archive, say, unpacked inside some other repository). OUTPUT keeps
# its time stamp when the text stays the same, so nothing recompiles for nothing.
set(revision unknown)
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --show-toplevel
                    OUTPUT_VARIABLE top RESULT_VARIABLE failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT failed)
        file(REAL_PATH "${top}" top)
        file(REAL_PATH "${SOURCE_DIR}" source)
    endif()
    if(NOT failed AND top STREQUAL source)
        execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" rev-parse --short HEAD
                        OUTPUT_VARIABLE commit RESULT_VARIABLE failed
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(NOT failed AND commit)
            set(revision "${commit}")
            execute_process(COMMAND "${GIT_EXECUTABLE}" --no-optional-locks -C "${SOURCE_DIR}" status --porcelain
                                    --untracked-files=no
                            OUTPUT_VARIABLE changes ERROR_QUIET)
            if(changes)
                string(APPEND revision "-dirty")
            endif()
        endif()
    endif()
endif()

set(text "#pragma once\n#define VANDREL_GIT_REVISION \"${revision}\"\n")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
    file(WRITE "${OUTPUT}" "${text}")
endif()
