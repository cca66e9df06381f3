# The web build (configured through emcmake): the game as brakko.js and brakko.wasm, its pictures and music
# packed into brakko.data, and the page around them, all laid out in site/ for any static web host.
set(site ${PROJECT_BINARY_DIR}/site)
set(page ${PROJECT_SOURCE_DIR}/web)

set_target_properties(brakko PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})
target_link_options(brakko PRIVATE
    # The game reads ./img, ./snd and ./replays from brakko.data. The BMPs are decoded when the game loads them, by
    # stb_image inside the program, so a damaged one comes back null as on the desktop (the page turns the
    # browser's own image decoding off); the browser decodes the Oggs while the page loads.
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/img@/img"
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/snd@/snd"
    "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/replays@/replays"
    --use-preload-plugins
    -sSTB_IMAGE=1
    # This Emscripten leaves the stb_image loader out of what the program exports; SDL's loader calls it.
    "SHELL:-sEXPORTED_FUNCTIONS=[_main,_stbi_load]"
    # A blit from a missing picture draws nothing, as in SDL, instead of throwing.
    "SHELL:--js-library ${page}/sdl_blit.js"
    -sENVIRONMENT=web
    # The page starts the game after the player's first key or click, which browsers require for sound.
    -sINVOKE_RUN=0
    "SHELL:-sEXPORTED_RUNTIME_METHODS=[callMain]")
file(GLOB assets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/img/* ${PROJECT_SOURCE_DIR}/snd/*
     ${PROJECT_SOURCE_DIR}/replays/*)
set_property(TARGET brakko APPEND PROPERTY LINK_DEPENDS ${assets} ${page}/sdl_blit.js)

foreach(file index.html page.css page.js)
    configure_file(${page}/${file} ${site}/${file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/icons/brakko-48.png ${site}/icon.png COPYONLY)
