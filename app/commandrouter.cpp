#include "app/commandrouter.h"

#include "app/commandids.h"

#include <QAction>
#include <QTimer>

void CommandMap::add(int id, Handler handler, Updater updater) {
    m_handlers.insert(id, {std::move(handler), std::move(updater)});
}

bool CommandMap::onCommand(int id) {
    const auto found = m_handlers.constFind(id);
    if (found == m_handlers.constEnd() || !found->first) {
        return false;
    }
    found->first();
    return true;
}

bool CommandMap::onUpdateCommand(int id, CommandState* state) {
    const auto found = m_handlers.constFind(id);
    if (found == m_handlers.constEnd()) {
        return false;
    }
    if (found->second) {
        found->second(state);
    }
    return true;
}

CommandRouter::CommandRouter(Chain chain, QObject* parent)
    : QObject(parent), m_chain(std::move(chain)) {
    for (const CommandEntry& entry : commandTable()) {
        auto* action = new QAction(entry.text, this);
        action->setData(entry.id);
        action->setShortcuts(entry.shortcuts);
        action->setStatusTip(entry.statusTip);
        action->setCheckable(entry.checkable);
        connect(action, &QAction::triggered, this, [this, id = entry.id] {
            route(id);
            // A command may change what others may do.
            QTimer::singleShot(0, this, &CommandRouter::updateAll);
        });
        m_actions.insert(entry.id, action);
    }
    // The framework refreshes command states when the program is idle; a
    // short timer does the same for the toolbar.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CommandRouter::updateAll);
    timer->start(250);
}

bool CommandRouter::route(int id) {
    for (CommandTarget* target : m_chain()) {
        if (target && target->onCommand(id)) {
            return true;
        }
    }
    return false;
}

CommandState CommandRouter::state(int id) const {
    CommandState state;
    for (CommandTarget* target : m_chain()) {
        if (target && target->onUpdateCommand(id, &state)) {
            return state;
        }
    }
    state.enabled = false;
    return state;
}

void CommandRouter::updateAll() {
    for (auto it = m_actions.constBegin(); it != m_actions.constEnd(); ++it) {
        const CommandState current = state(it.key());
        it.value()->setEnabled(current.enabled);
        if (it.value()->isCheckable()) {
            it.value()->setChecked(current.checked);
        }
    }
}
