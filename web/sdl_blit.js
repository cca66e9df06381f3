// The browser's SDL emulation throws on a blit from a null picture, where SDL draws nothing and answers -1.
// A picture that failed to load is null, and the game counts on it just not appearing.
// After a blit into any surface but the screen the emulation also copies that whole surface from its canvas
// back into memory, for programs that read a software surface's pixels without locking. A hardware surface (a
// map's layer) is read only under a lock, which copies it anyway, so it is held as locked over the blit and
// the emulation leaves it be: a layer's thousands of tiles then cost their draws alone.
mergeInto(LibraryManager.library, {
  SDL_UpperBlit__deps: ['$SDL'],
  SDL_UpperBlit: function(src, srcrect, dst, dstrect) {
    if (!src || !dst) return -1;
    var into = SDL.surfaces[dst];
    var kept = into.isFlagSet(0x00000001 /* SDL_HWSURFACE */);
    if (kept) into.locked++;
    var result = SDL.blitSurface(src, srcrect, dst, dstrect, false);
    if (kept) into.locked--;
    return result;
  },
});
