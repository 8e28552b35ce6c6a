#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>

#include <functional>

class QAction;

/// Whether a command can run now, and whether it shows checked.
struct CommandState {
    bool enabled = true;
    bool checked = false;
};

/// One link of the routing chain: a view, a document, a child frame, the
/// main frame or the application. A target that handles a command runs it
/// and says so; the router offers each command to the chain in that order
/// and the first handler wins.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    /// Runs the command and returns true when this target handles it.
    virtual bool onCommand(int id) = 0;
    /// Fills in the state and returns true when this target handles it.
    virtual bool onUpdateCommand(int id, CommandState* state) = 0;
};

/// A target made of handlers registered by command id.
class CommandMap : public CommandTarget {
public:
    using Handler = std::function<void()>;
    using Updater = std::function<void(CommandState*)>;

    void add(int id, Handler handler, Updater updater = {});
    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CommandState* state) override;

private:
    QHash<int, std::pair<Handler, Updater>> m_handlers;
};

/// What the command table says of one command.
struct CommandEntry {
    int id;
    QString text;       // menu text with its mnemonic
    QString statusTip;  // shown in the status bar's message pane
    QList<QKeySequence> shortcuts;
    bool checkable = false;
};

/// Every command of the menus, the toolbar and the accelerators.
const QList<CommandEntry>& commandTable();
const CommandEntry* findCommand(int id);

/// Makes one QAction per command of the table and sends each triggered
/// command along the chain; keeps the actions' enabled and checked states
/// current from the update handlers (a command no target handles is
/// disabled). Interface thread only.
class CommandRouter : public QObject {
    Q_OBJECT

public:
    using Chain = std::function<QList<CommandTarget*>()>;

    CommandRouter(Chain chain, QObject* parent = nullptr);

    QAction* action(int id) const { return m_actions.value(id); }
    /// Runs the command on the first target that handles it; false when
    /// none does.
    bool route(int id);
    /// The state the chain gives the command now.
    CommandState state(int id) const;
    /// Refreshes every action from the chain.
    void updateAll();

private:
    Chain m_chain;
    QHash<int, QAction*> m_actions;
};
