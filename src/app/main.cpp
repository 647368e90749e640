#include "app/show.h"
#include "platform/arguments.h"

int main(int argc, char** argv)
{
    return runShow(platform::processArguments(argc, argv));
}
