# Checks the resource packer against small sources: run with
#   cmake -DPACKER=<packer> -DWORK=<scratch folder> -P respack_test.cmake
# A good catalogue and font must pack; a duplicate number, a text over 100
# characters and a catalogue of more than 254 pages must each fail; a good
# dialog template must pack to its bytes, a malformed one fail.
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

# Dialog templates: a good source packs to its bytes, little-endian, with
# padded strings, the icon block of 320 and a tab run ended by an empty
# string.
file(WRITE ${WORK}/d.txt "template 7\nbounds 1 2 3 4\nflags 0\ntitle \"Ab\"\n"
     "item 1 def 368 flags 2 bounds 5 6 7 8 just -1 text \"OK\"\n"
     "item 2 def 321 flags 0 bounds 0 0 1 1 icon 32516 text \"\"\n"
     "item 3 def 128 flags 0 bounds 0 0 1 1 pages \"A\" \"Bc\"\n")
expect_pack(rc --dialog ${WORK}/d.txt)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a good template failed: ${last_error}")
endif()
file(READ ${WORK}/out/XDLG_7.bin dlg HEX)
set(want "010002000300040003000000416200000500060007000800700101000200ffff4f4b0000"
         "0000000001000100410102000000047f00000000"
         "00000000010001008000030000004100426300000000")
string(CONCAT want ${want})
if(NOT dlg STREQUAL want)
  message(FATAL_ERROR "template is\n  ${dlg}\nexpected\n  ${want}")
endif()
# A malformed line, a text over 255 characters and a duplicate item each fail.
foreach(bad "item 1 def 368 bounds 1 2 3\n" "item 1 def 368 bounds 1 2 3 4 text \"${long}${long}${full}\"\n"
        "item 1 def 368 bounds 1 2 3 4 text \"a\"\nitem 1 def 288 bounds 1 2 3 4 text \"b\"\n"
        "item 1 def 368 bounds 1 2 3 4 colour 3 text \"a\"\n")
  file(WRITE ${WORK}/bad.txt "template 9\nbounds 1 2 3 4\n${bad}")
  expect_pack(rc --dialog ${WORK}/bad.txt)
  if(rc EQUAL 0)
    message(FATAL_ERROR "a malformed template was accepted:\n${bad}")
  endif()
endforeach()

# Pictures: a 2 x 2 bitmap packs to a 1-bit BMP (62-byte header, one
# 4-byte row each, bottom row first, set bits white); a row wider than the
# size, or a transparent pixel in a bitmap, fails.
file(WRITE ${WORK}/p.txt "bitmap 5\nsize 2 2\n#.\n.#\n")
expect_pack(rc --picture ${WORK}/p.txt)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a good bitmap failed: ${last_error}")
endif()
file(READ ${WORK}/out/BMP_5.bmp bmp HEX)
string(SUBSTRING "${bmp}" 124 16 pixels)
if(NOT pixels STREQUAL "8000000040000000")
  message(FATAL_ERROR "bitmap rows are ${pixels}")
endif()
foreach(bad "bitmap 5\nsize 2 2\n#.#\n" "bitmap 5\nsize 2 2\n#_\n" "cursor 6\nsize 2 2\nhotspot 3 0\n")
  file(WRITE ${WORK}/bad.txt "${bad}")
  expect_pack(rc --picture ${WORK}/bad.txt)
  if(rc EQUAL 0)
    message(FATAL_ERROR "a malformed picture was accepted:\n${bad}")
  endif()
endforeach()
# Menus: a popup with a keyed item, a separator and a submenu reference
# packs to the standard RT_MENU template; an unclosed menu, an unknown
# word, an empty popup, a duplicate number and a text over 255 characters
# each fail.
file(WRITE ${WORK}/m.rc "// menus\n3 MENU\nBEGIN\n  POPUP \"F\"\n  BEGIN\n    MENUITEM \"O`O\", 7, GRAYED\n    MENUITEM SEPARATOR\n    MENUITEM \"S\", 4, INACTIVE\n  END\nEND\n")
expect_pack(rc --menu ${WORK}/m.rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a good menu failed: ${last_error}")
endif()
file(READ ${WORK}/out/MENU_3.bin menu HEX)
set(want "00000000" "900046000000" "010007004f0060004f000000" "000000000000" "8200040053000000")
string(CONCAT want ${want})
if(NOT menu STREQUAL want)
  message(FATAL_ERROR "menu is\n  ${menu}\nexpected\n  ${want}")
endif()
foreach(bad "3 MENU\nBEGIN\n  MENUITEM \"a\", 1\n"
        "3 MENU\nBEGIN\n  MENUITEM \"a\", 1, BOLD\nEND\n"
        "3 MENU\nBEGIN\n  POPUP \"a\"\n  BEGIN\n  END\nEND\n"
        "3 MENU\nBEGIN\n  MENUITEM \"a\", 1\nEND\n3 MENU\nBEGIN\n  MENUITEM \"b\", 1\nEND\n"
        "3 MENU\nBEGIN\n  MENUITEM \"${long}${long}${full}\", 1\nEND\n")
  file(WRITE ${WORK}/bad.rc "${bad}")
  expect_pack(rc --menu ${WORK}/bad.rc)
  if(rc EQUAL 0)
    message(FATAL_ERROR "a malformed menu was accepted:\n${bad}")
  endif()
endforeach()
# Icons: a family of a 2 x 1 4-bit member packs to an .ico whose entry
# points at its image; a second file with the same family, a row wider
# than its member, a depth other than 4 or 8 and an unknown colour each
# fail.
file(WRITE ${WORK}/i.txt "# a family\nicon 5\nmember 2 1 4\nR_\n")
expect_pack(rc --icon ${WORK}/i.txt)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a good icon failed: ${last_error}")
endif()
file(READ ${WORK}/out/ICO_5.ico ico HEX)
# directory, entry {2, 1, 16 colours, planes 1, 4 bits, 112 bytes at 22},
# header {40, 2, 2, 1, 4}
string(SUBSTRING "${ico}" 0 76 head)
set(want "000001000100" "02011000" "0100" "0400" "70000000" "16000000" "28000000" "02000000"
    "02000000" "0100" "0400")
string(CONCAT want ${want})
if(NOT head STREQUAL want)
  message(FATAL_ERROR "icon is\n  ${head}\nexpected\n  ${want}")
endif()
# The red pixel (entry 9) in the high nibble, then the mask: the second
# pixel transparent.
string(SUBSTRING "${ico}" 252 16 pixels)
if(NOT pixels STREQUAL "9000000040000000")
  message(FATAL_ERROR "icon pixels are ${pixels}")
endif()
foreach(bad "icon 5\nmember 2 1 4\nRRR\n" "icon 6\nmember 2 1 2\nRR\n" "icon 6\nmember 2 1 4\nRx\n"
        "member 2 1 4\nRR\n")
  file(WRITE ${WORK}/bad.txt "${bad}")
  expect_pack(rc --icon ${WORK}/bad.txt)
  if(rc EQUAL 0)
    message(FATAL_ERROR "a malformed icon was accepted:\n${bad}")
  endif()
endforeach()
file(WRITE ${WORK}/j.txt "icon 5\nmember 2 1 8\n__\n")
expect_pack(rc --icon ${WORK}/i.txt --icon ${WORK}/j.txt)
if(rc EQUAL 0)
  message(FATAL_ERROR "a family packed twice was accepted")
endif()
file(REMOVE_RECURSE ${WORK})
