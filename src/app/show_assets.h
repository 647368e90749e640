// Everything the loading sequence makes and the schedule draws with. Owned
// by the entry point for the whole run; destroyed models first, then
// textures, each in reverse load order (the member order below).
#pragma once

struct ShowAssets {
};
