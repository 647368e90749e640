/* Preloaded into the sanitizer runs: dlclose does nothing, so the graphics
 * driver the GL context loaded stays mapped until the leak check at exit.
 * Unloaded, its allocations show up as "<unknown module>", which neither
 * names the library nor can be suppressed by it. Nothing else changes: the
 * show's own allocations are checked exactly as before. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
