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

int refuse(const QString &path, const QString &problem)
{
    return fail(kRefused, QStringLiteral("refused: %1 %2").arg(path, problem));
}

int finish(const GameFileResult &result, const QString &target, const QString &refusal)
{
    if (!refusal.isEmpty())
        return refuse(target, refusal);
    return result.done ? 0 : fail(kFailed, result.message);
}

} // namespace

int runGameFileMode(const QStringList &arguments)
{
    const QString operation = arguments.value(0);
    QString refusal;
    if (operation == QLatin1String("write") && arguments.size() == 3) {
        const QString source = arguments[1];
        const QString target = arguments[2];
        // Read whole before the target is looked at, so that nothing the
        // source does can hold the change up between the check and the write.
        if (const QString problem = localPathProblem(source); !problem.isEmpty())
            return refuse(source, problem);
        QByteArray bytes;
        QString error;
        if (!readGameFileSource(source, bytes, &error))
            return fail(kRefused, QStringLiteral("refused: cannot read %1: %2").arg(source, error));
        if (const QString problem = gameFileTargetProblem(target); !problem.isEmpty())
            return refuse(target, problem);
        const GameFileResult result = writeCheckedGameFile(target, bytes, &refusal);
        return finish(result, target, refusal);
    }
    if (operation == QLatin1String("remove") && arguments.size() == 2) {
        const QString target = arguments[1];
        if (const QString problem = gameFileTargetProblem(target); !problem.isEmpty())
            return refuse(target, problem);
        const GameFileResult result = removeCheckedGameFile(target, &refusal);
        return finish(result, target, refusal);
    }
    return fail(kRefused, QStringLiteral("usage: corvane --game-file write <source> <target> | remove <target>"));
}
