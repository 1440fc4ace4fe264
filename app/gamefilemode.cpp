#include "app/gamefilemode.h"

#include "core/core.h"

#include <cstdio>

namespace {

constexpr int kFailed = 1;
constexpr int kRefused = 2;

int fail(int exitCode, const QString &line)
{
    std::fprintf(stderr, "corvane: %s\n", qUtf8Printable(line));
    return exitCode;
}

int refuseTarget(const QString &target)
{
    const QString problem = gameFileTargetProblem(target);
    return problem.isEmpty() ? 0 : fail(kRefused, QStringLiteral("refused: %1 %2").arg(target, problem));
}

int finish(const GameFileResult &result)
{
    return result.done ? 0 : fail(kFailed, result.message);
}

} // namespace

int runGameFileMode(const QStringList &arguments)
{
    const QString operation = arguments.value(0);
    if (operation == QLatin1String("write") && arguments.size() == 3) {
        const QString source = arguments[1];
        const QString target = arguments[2];
        if (const int refused = refuseTarget(target))
            return refused;
        QByteArray bytes;
        QString error;
        if (!readWholeFile(source, bytes, &error))
            return fail(kRefused, QStringLiteral("refused: cannot read %1: %2").arg(source, error));
        return finish(writeGameFile(target, bytes));
    }
    if (operation == QLatin1String("remove") && arguments.size() == 2) {
        const QString target = arguments[1];
        if (const int refused = refuseTarget(target))
            return refused;
        return finish(removeGameFile(target));
    }
    return fail(kRefused, QStringLiteral("usage: corvane --game-file write <source> <target> | remove <target>"));
}
