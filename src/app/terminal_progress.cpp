#include "app/terminal_progress.h"

#include <unistd.h>

namespace {
void formatClock(char* out, size_t size, double seconds)
{
    const int s = seconds < 0 ? 0 : static_cast<int>(seconds + 0.5);
    std::snprintf(out, size, "%d:%02d", s / 60, s % 60);
}
} // namespace

TerminalProgress::TerminalProgress(const char* label_, int total_, std::FILE* out_)
    : label(label_), total(total_ > 0 ? total_ : 1), out(out_), interactive(isatty(fileno(out_)) != 0),
      began(std::chrono::steady_clock::now()), lastDraw(began)
{
}

void TerminalProgress::update(int done)
{
    const auto now = std::chrono::steady_clock::now();
    const int tenth = done * 10 / total;
    // A terminal gets a live bar a few times a second; a log gets a line per tenth.
    if (interactive ? (now - lastDraw < std::chrono::milliseconds(100) && done < total) : tenth == lastTenth)
        return;
    lastDraw = now;
    lastTenth = tenth;
    const double elapsed = std::chrono::duration<double>(now - began).count();
    const double left = done > 0 ? elapsed * (total - done) / done : 0.0;
    char e[16], l[16];
    formatClock(e, sizeof e, elapsed);
    formatClock(l, sizeof l, left);
    constexpr int width = 30;
    char bar[width + 1];
    const int filled = done * width / total;
    for (int i = 0; i < width; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[width] = '\0';
    std::fprintf(out, "%s%s [%s] frame %d of %d, elapsed %s, left %s%s", interactive ? "\r" : "", label, bar, done,
                 total, e, l, interactive ? "  " : "\n");
    std::fflush(out);
}

void TerminalProgress::finish()
{
    update(total);
    if (interactive)
        std::fputc('\n', out);
    std::fflush(out);
}
