# The web build (configured through emcmake): the game as brakko.js and brakko.wasm, its pictures, music and
# level pack packed into brakko.data, and the page around them, all laid out in site/ for any static web host.
set(site ${PROJECT_BINARY_DIR}/site)
set(page ${PROJECT_SOURCE_DIR}/web)

set_target_properties(brakko PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})
# Watch in the level editor: the replay of a proved plan, made by the game before it starts.
target_sources(brakko PRIVATE ${PROJECT_SOURCE_DIR}/src/platform/watchPlan.cpp)
# The pack's progress for the page's list: each level's digest, and the solved levels as the game reads them.
target_sources(brakko PRIVATE ${PROJECT_SOURCE_DIR}/src/platform/packProgress.cpp)
# Nothing large lives on the stack, so a megabyte is plenty; it is set here because Emscripten's default
# depends on its version (5 MB up to 3.1.26, 64 KB after), and so does the setting's name (TOTAL_STACK
# before 3.1.25).
if(EMSCRIPTEN_VERSION VERSION_LESS 3.1.25)
    set(stack_size -sTOTAL_STACK=1048576)
else()
    set(stack_size -sSTACK_SIZE=1048576)
endif()
target_link_options(brakko PRIVATE
    ${stack_size}
    # All memory is taken at start-up and never grows. The views' map layers and the pictures fill most of
    # Emscripten's default 16 MB, and practice mode's steps (a few MB) would not fit in what is left.
    -sINITIAL_MEMORY=33554432
    # The game reads ./img, ./snd and ./replays from brakko.data, and the page lists /levels. The BMPs are
    # decoded when the game loads them, by stb_image inside the program, so a damaged one comes back null as
    # on the desktop (the page turns the browser's own image decoding off); the browser decodes the Oggs while
    # the page loads.
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/img@/img"
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/snd@/snd"
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/replays@/replays"
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/levels@/levels"
    --use-preload-plugins
    -sSTB_IMAGE=1
    # This Emscripten leaves the stb_image loader out of what the program exports; SDL's loader calls it.
    "SHELL:-sEXPORTED_FUNCTIONS=[_main,_stbi_load,_watchPlan]"
    -sENVIRONMENT=web
    # The page starts the game after the player's first key or click, which browsers require for sound.
    -sINVOKE_RUN=0
    # The page reads the pack's levels, writes a link's level and copies the progress file through FS, and
    # asks for a level's digest and the solved levels through ccall; the news reaches the page as text.
    "SHELL:-sEXPORTED_RUNTIME_METHODS=[callMain,FS,ccall,UTF8ToString]")
file(GLOB assets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/img/* ${PROJECT_SOURCE_DIR}/snd/*
     ${PROJECT_SOURCE_DIR}/replays/* ${PROJECT_SOURCE_DIR}/levels/*)
set_property(TARGET brakko APPEND PROPERTY LINK_DEPENDS ${assets})

# The page's script is ES modules, page.js and the parts it imports, all beside index.html.
foreach(file index.html page.css page.js run.js layout.js notice.js hand.js pad.js news.js pack.js level.js load.js
             link.js generate.js)
    configure_file(${page}/${file} ${site}/${file} COPYONLY)
endforeach()
# The numbers the pages share with the game.
brakko_shared_js(${site}/shared.js brakko-shared-js)
configure_file(${PROJECT_SOURCE_DIR}/icons/brakko-48.png ${site}/icon.png COPYONLY)

# The level editor's reader and prover: the level reader and the game's search without SDL, as prove.js and
# prove.wasm, loaded by the editor page and by its worker; the game's page makes its new levels with the
# generator in it, in a worker of its own. The search and the generator take their memory when first
# asked, so the memory grows, up to a bound the browser can always give.
add_executable(brakko-prove src/platform/prove.cpp)
target_link_libraries(brakko-prove PRIVATE files)
set_target_properties(brakko-prove PROPERTIES OUTPUT_NAME prove RUNTIME_OUTPUT_DIRECTORY ${site})
target_link_options(brakko-prove PRIVATE
    ${stack_size}
    -sALLOW_MEMORY_GROWTH=1
    -sMAXIMUM_MEMORY=268435456
    -sENVIRONMENT=web,worker
    -sMODULARIZE=1
    -sEXPORT_NAME=BrakkoProve
    "SHELL:-sEXPORTED_RUNTIME_METHODS=[ccall,UTF8ToString]")

foreach(file editor.html editor.css editor.js editor-worker.js generate-worker.js)
    configure_file(${page}/${file} ${site}/${file} COPYONLY)
endforeach()
