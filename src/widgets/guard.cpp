#include "guard.h"

#include <data/dataerror.h>
#include <data/messenger.h>
#include <data/recordset.h> // the model holds a pointer to it
#include <data/recordsetmodel.h>
#include <optional>
#include <QScopeGuard>
#include <QString>

namespace lexordo {

namespace {
int s_depth = 0;             // guards running, the user's action outermost
bool s_actionFailed = false; // the running action has shown its failure
} // namespace

bool guardAction(const std::function<void()> &action)
{
    const bool outermost = s_depth == 0;
    if (outermost)
        s_actionFailed = false;
    std::optional<QString> failure;
    {
        ++s_depth;
        const auto leave = qScopeGuard([] { --s_depth; });
        failure = failureOf(action);
    }
    if (failure && !s_actionFailed) {
        // Marked before the box is up: what its event loop runs of the same
        // action adds no second box.
        s_actionFailed = true;
        showMessage(*failure);
    }
    const bool succeeded = outermost ? !s_actionFailed : !failure;
    if (outermost)
        s_actionFailed = false;
    return succeeded;
}

std::optional<QString> failureOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const DataError &e) {
        return e.description();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    }
    return std::nullopt;
}

bool actionUnderWay()
{
    return s_depth > 0;
}

void tellReadFailures(RecordSetModel *model)
{
    QObject::connect(
        model, &RecordSetModel::readFailed, model,
        [](const QString &description) { showMessage(description); }, Qt::QueuedConnection);
}

} // namespace lexordo
