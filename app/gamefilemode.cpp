#include "app/gamefilemode.h"

#include "core/core.h"

#include <cstdio>

namespace {

int fail(GameFileReason reason, const QString &line)
{
    std::fprintf(stderr, "corvane: %s\n", qUtf8Printable(line));
    // Nothing that failed may look done.
    return reason == GameFileReason::None ? int(GameFileReason::OtherFailure) : int(reason);
}

int refuse(const QString &path, const GameFileProblem &problem)
{
    return fail(problem.reason, QStringLiteral("refused: %1 %2").arg(path, problem.words()));
}

int finish(const GameFileResult &result, const QString &target, const GameFileProblem &refusal)
{
    if (refusal)
        return refuse(target, refusal);
    return result.done ? 0 : fail(result.reason, result.message);
}

} // namespace

int runGameFileMode(const QStringList &arguments)
{
    const QString operation = arguments.value(0);
    GameFileProblem refusal;
    if (operation == QLatin1String("write") && arguments.size() == 3) {
        const QString source = arguments[1];
        const QString target = arguments[2];
        // Read whole before the target is looked at, so that nothing the
        // source does can hold the change up between the check and the write.
        if (const GameFileProblem problem = localPathProblem(source))
            return refuse(source, problem);
        QByteArray bytes;
        GameFileProblem problem;
        if (!readGameFileSource(source, bytes, &problem))
            return fail(problem.reason, QStringLiteral("refused: cannot read %1: %2").arg(source, problem.words()));
        if (const GameFileProblem targetProblem = gameFileTargetProblem(target))
            return refuse(target, targetProblem);
        const GameFileResult result = writeCheckedGameFile(target, bytes, &refusal);
        return finish(result, target, refusal);
    }
    if (operation == QLatin1String("remove") && arguments.size() == 2) {
        const QString target = arguments[1];
        if (const GameFileProblem problem = gameFileTargetProblem(target))
            return refuse(target, problem);
        const GameFileResult result = removeCheckedGameFile(target, &refusal);
        return finish(result, target, refusal);
    }
    return fail(GameFileReason::Usage,
                QStringLiteral("refused: %1; usage: corvane --game-file write <source> <target> | remove <target>")
                    .arg(gameFileReasonWords(GameFileReason::Usage)));
}
