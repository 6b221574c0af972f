# Checks the resource packer against small sources: run with
#   cmake -DPACKER=<packer> -DWORK=<scratch folder> -P respack_test.cmake
# A good catalogue and font must pack; a duplicate number, a text over 100
# characters and a catalogue of more than 254 pages must each fail.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/out)

function(expect_pack result_var)
  execute_process(COMMAND ${PACKER} --out ${WORK}/out ${ARGN}
                  RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  set(${result_var} ${rc} PARENT_SCOPE)
  set(last_error "${err}" PARENT_SCOPE)
endfunction()

file(WRITE ${WORK}/font.txt "height 1800\nglyph 32\nglyph 65\nstroke 100 500 100 1100\n")

# A good catalogue: escapes, trailing blanks kept, pages in number order.
file(WRITE ${WORK}/good.txt "# comment\n\n7 \"tab\\there \\\"q\\\" \\\\ \\x41 \"\n5 \"first\"\n")
expect_pack(rc --lang ${WORK}/good.txt --font ${WORK}/font.txt)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "good sources failed: ${last_error}")
endif()
file(READ ${WORK}/out/LANG_257.bin page HEX)
# magic 0c59, 2 entries, (5, 12), (7, 18), "first\0", "tab\there "q" \ A \0"
set(want "0c5900020005000c00070012666972737400746162096865726520227122205c20412000")
string(LENGTH "${want}" n)
string(SUBSTRING "${page}" 0 ${n} head)
if(NOT head STREQUAL want)
  message(FATAL_ERROR "page 1 is\n  ${head}\nexpected\n  ${want}")
endif()
file(READ ${WORK}/out/LANG_256.bin index HEX)
string(SUBSTRING "${index}" 0 12 head)
if(NOT head STREQUAL "0c5900010007")
  message(FATAL_ERROR "index starts ${head}")
endif()
file(READ ${WORK}/out/RFNT_256.bin header HEX)
string(SUBSTRING "${header}" 80 24 tail)
if(NOT tail STREQUAL "000100000000070800000002")
  message(FATAL_ERROR "font header ends ${tail}")
endif()

# A duplicate number across two files.
file(WRITE ${WORK}/dup.txt "5 \"again\"\n")
expect_pack(rc --lang ${WORK}/good.txt --lang ${WORK}/dup.txt)
if(rc EQUAL 0 OR NOT last_error MATCHES "already defined")
  message(FATAL_ERROR "a duplicate number was accepted: ${last_error}")
endif()

# A text of 101 characters.
string(REPEAT "x" 101 long)
file(WRITE ${WORK}/long.txt "9 \"${long}\"\n")
expect_pack(rc --lang ${WORK}/long.txt)
if(rc EQUAL 0 OR NOT last_error MATCHES "at most 100")
  message(FATAL_ERROR "a text of 101 characters was accepted: ${last_error}")
endif()

# 1,020 texts of 100 characters fill 255 pages (four to a page).
string(REPEAT "y" 100 full)
set(many "")
foreach(n RANGE 1 1020)
  string(APPEND many "${n} \"${full}\"\n")
endforeach()
file(WRITE ${WORK}/many.txt "${many}")
expect_pack(rc --lang ${WORK}/many.txt)
if(rc EQUAL 0 OR NOT last_error MATCHES "at most 254")
  message(FATAL_ERROR "255 pages were accepted: ${last_error}")
endif()
# ... while 1,016 texts (254 pages) pack.
set(many "")
foreach(n RANGE 1 1016)
  string(APPEND many "${n} \"${full}\"\n")
endforeach()
file(WRITE ${WORK}/many.txt "${many}")
expect_pack(rc --lang ${WORK}/many.txt)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "254 pages failed: ${last_error}")
endif()
file(REMOVE_RECURSE ${WORK})
