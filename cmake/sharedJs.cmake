# Writes the numbers the page shares with the game as one JavaScript object, window.brakko, each under its C++
# name: `cmake -DHEADER=src/rules/shared.h -DOUT=shared.js -P cmake/sharedJs.cmake`. The header holds comments,
# blank lines, `#pragma once` and lines of the form `constexpr int NAME = VALUE;` or
# `constexpr int NAME[N] = {VALUE, ...};`, each VALUE a whole number or a plain character (written as its
# code); any other line stops here with its number and text, so that the page never runs on a number the
# build could not read.
cmake_minimum_required(VERSION 3.25)

if(NOT HEADER OR NOT OUT)
    message(FATAL_ERROR "sharedJs.cmake needs -DHEADER=<header> -DOUT=<script>")
endif()

# One value as JavaScript, in `js`; empty when it is neither a number nor a plain character.
function(shared_value text)
    set(js "" PARENT_SCOPE)
    if(text MATCHES "^-?[0-9]+$")
        set(js ${text} PARENT_SCOPE)
    elseif(text MATCHES "^'([^'\\\\])'$")
        string(HEX "${CMAKE_MATCH_1}" hex)
        math(EXPR code "0x${hex}")
        set(js ${code} PARENT_SCOPE)
    endif()
endfunction()

# The lines as a list: the characters that a CMake list would take apart are held as words meanwhile.
file(READ ${HEADER} text)
string(REPLACE ";" "<semicolon>" text "${text}")
string(REPLACE "[" "<open>" text "${text}")
string(REPLACE "]" "<close>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

set(body "")
set(number 0)
foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REPLACE "<semicolon>" ";" line "${line}")
    string(REPLACE "<open>" "[" line "${line}")
    string(REPLACE "<close>" "]" line "${line}")
    set(js "")
    if(line MATCHES "^[ ]*(//.*)?$" OR line STREQUAL "#pragma once")
        continue()
    elseif(line MATCHES "^constexpr int ([A-Za-z_][A-Za-z0-9_]*) = ([^ ;]+);$")
        set(name ${CMAKE_MATCH_1})
        shared_value("${CMAKE_MATCH_2}")
    elseif(line MATCHES "^constexpr int ([A-Za-z_][A-Za-z0-9_]*)\\[([0-9]+)\\] = {([^}]*)};$")
        set(name ${CMAKE_MATCH_1})
        set(size ${CMAKE_MATCH_2})
        string(REPLACE ", " ";" items "${CMAKE_MATCH_3}")
        list(LENGTH items count)
        set(array "")
        foreach(item IN LISTS items)
            shared_value("${item}")
            if(js STREQUAL "")
                break()
            endif()
            list(APPEND array ${js})
        endforeach()
        list(LENGTH array read)
        if(read EQUAL count AND count EQUAL size)
            list(JOIN array ", " js)
            set(js "Object.freeze([${js}])")
        else()
            set(js "")
        endif()
    endif()
    if(js STREQUAL "")
        message(FATAL_ERROR "${HEADER}:${number}: not a line the page's numbers can be read from:\n  ${line}")
    endif()
    string(APPEND body "  ${name}: ${js},\n")
endforeach()

# Written only when it changes, so that nothing that loads it is remade for nothing.
file(CONFIGURE OUTPUT ${OUT} @ONLY NEWLINE_STYLE UNIX CONTENT
"// The numbers the game and its page share, each under the game's own name; written by the build.
'use strict';
window.brakko = Object.freeze({
@body@});
")
