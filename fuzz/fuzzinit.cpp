// Only for the libFuzzer builds; the replay runner never changes what it
// is given.
#include <QDir>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

// A crash leaves the scratch directory as the working directory, so a
// relative artifact path would hide the crashing input in there. Giving the
// starting directory up front still lets an -artifact_prefix on the command
// line win, because later flags override earlier ones.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static std::string prefix = "-artifact_prefix=" + QDir::currentPath().toStdString() + "/";
    static char **const patched = static_cast<char **>(std::calloc(static_cast<size_t>(*argc) + 2, sizeof(char *)));
    patched[0] = (*argv)[0];
    patched[1] = prefix.data();
    std::memcpy(patched + 2, *argv + 1, static_cast<size_t>(*argc - 1) * sizeof(char *));
    *argv = patched;
    ++*argc;
    return 0;
}
