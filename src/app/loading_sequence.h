// Builds every asset of the show, in its fixed order, behind the loading
// screen.
#pragma once

class GLWindow;
struct ShowAssets;

// Runs up to and including the loading-screen update captioned "Music...".
void loadShowAssets(GLWindow& window, ShowAssets& assets, const char* loadingCaption, int width, int height);

// The last loading-screen update, made after the music has started.
// Returns nonzero when more updates were made than the bar had planned.
int finishLoadingScreen(GLWindow& window, ShowAssets& assets);
