// The questions of a mount or unmount, from GIO's mount operation to the
// caller's PfRemoteAsk table (remote_mount.h). GIO emits them on the thread
// that runs the operation's main context, which is the mounting thread, so
// the table may wait there for the user; the operation's time limit stands
// still while it does.
#include <cstring>
#include <vector>

#include "platform/remote_internal.h"
#include "platform/remote_mount.h"
#include "runtime/text.h"

namespace {

// Kept on the mount operation (g_object_set_data_full) for its handlers.
struct Asker {
    std::shared_ptr<RemoteJob> job;
    PfRemoteAsk ask;
    std::wstring preset_user;     // from the location
    std::wstring preset_password; // from the location; used for the first question only
};

struct FlagRow {
    GAskPasswordFlags gio;
    int ours;
};
constexpr FlagRow kAskFlags[] = {
    {G_ASK_PASSWORD_NEED_USERNAME, PfAskUser},
    {G_ASK_PASSWORD_NEED_PASSWORD, PfAskPassword},
    {G_ASK_PASSWORD_NEED_DOMAIN, PfAskDomain},
    {G_ASK_PASSWORD_SAVING_SUPPORTED, PfAskMaySave},
    {G_ASK_PASSWORD_ANONYMOUS_SUPPORTED, PfAskAnonymous},
};

std::wstring Text(const char* utf8) {
    return utf8 ? rt_text_from_utf8(utf8) : std::wstring();
}

// Overwrites a password before its memory is given back.
void Wipe(std::string& secret) {
    volatile char* p = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) p[i] = 0;
}
void Wipe(std::wstring& secret) {
    volatile wchar_t* p = secret.data();
    for (size_t i = 0; i < secret.size(); ++i) p[i] = 0;
}

GPasswordSave SaveOf(int remember) {
    switch (remember) {
    case PfRememberSession: return G_PASSWORD_SAVE_FOR_SESSION;
    case PfRememberAlways: return G_PASSWORD_SAVE_PERMANENTLY;
    default: return G_PASSWORD_SAVE_NEVER;
    }
}

// The user gave up: the mount ends as cancelled, whatever error the backend
// makes of it (sftp's is a plain failure).
void Decline(GMountOperation* op, Asker& a) {
    a.job->Fail(PfRemoteCancelled);
    g_mount_operation_reply(op, G_MOUNT_OPERATION_ABORTED);
}

// Hands the answer to GIO.
void Answer(GMountOperation* op, PfRemoteLogin& login) {
    if (login.asks & PfAskAnonymous) g_mount_operation_set_anonymous(op, login.anonymous != 0);
    if (login.asks & PfAskUser)
        g_mount_operation_set_username(op, rt_text_to_utf8(login.user).c_str());
    if (login.asks & PfAskDomain)
        g_mount_operation_set_domain(op, rt_text_to_utf8(login.domain).c_str());
    if (login.asks & PfAskPassword) {
        std::string secret = rt_text_to_utf8(login.password);
        g_mount_operation_set_password(op, secret.c_str());
        Wipe(secret);
    }
    if (login.asks & PfAskMaySave) g_mount_operation_set_password_save(op, SaveOf(login.remember));
    Wipe(login.password);
    g_mount_operation_reply(op, G_MOUNT_OPERATION_HANDLED);
}

// GIO's own handler of each question runs after ours and queues a second
// reply, "unhandled", on the default main context; stopping the emission
// keeps our answer the only one.
void OnAskPassword(GMountOperation* op, const char* message, const char* default_user,
                   const char* default_domain, GAskPasswordFlags flags, gpointer data) {
    g_signal_stop_emission_by_name(op, "ask-password");
    auto* a = static_cast<Asker*>(data);
    PfRemoteLogin login;
    login.message = Text(message);
    for (const FlagRow& row : kAskFlags)
        if (flags & row.gio) login.asks |= row.ours;
    login.user = a->preset_user.empty() ? Text(default_user) : a->preset_user;
    login.domain = Text(default_domain);
    if (!a->preset_password.empty()) { // the location's password, once
        login.password.swap(a->preset_password);
        return Answer(op, login);
    }
    a->job->SetAsking(true);
    const int ok = a->ask.login && a->ask.login(&login, a->ask.user);
    a->job->SetAsking(false);
    if (!ok || a->job->Stopped()) {
        Wipe(login.password);
        return Decline(op, *a);
    }
    Answer(op, login);
}

// Questions with choices: a host key, and "programs still use it".
void Choose(GMountOperation* op, const char* message, const char** choices, Asker* a) {
    std::vector<std::wstring> texts;
    for (size_t i = 0; choices && choices[i]; ++i) texts.push_back(Text(choices[i]));
    int choice = -1;
    a->job->SetAsking(true);
    const int ok = a->ask.question && a->ask.question(Text(message), texts, &choice, a->ask.user);
    a->job->SetAsking(false);
    if (!ok || choice < 0 || choice >= static_cast<int>(texts.size()) || a->job->Stopped())
        return Decline(op, *a);
    g_mount_operation_set_choice(op, choice);
    g_mount_operation_reply(op, G_MOUNT_OPERATION_HANDLED);
}

void OnAskQuestion(GMountOperation* op, const char* message, const char** choices, gpointer data) {
    g_signal_stop_emission_by_name(op, "ask-question");
    Choose(op, message, choices, static_cast<Asker*>(data));
}

void OnShowProcesses(GMountOperation* op, const char* message, GArray*, const char** choices,
                     gpointer data) {
    g_signal_stop_emission_by_name(op, "show-processes");
    Choose(op, message, choices, static_cast<Asker*>(data));
}

} // namespace

GMountOperation* RemoteMountOperation(const std::shared_ptr<RemoteJob>& job, const PfRemoteAsk* ask,
                                      const std::wstring& user, const std::wstring& password) {
    GMountOperation* op = g_mount_operation_new();
    auto* a = new Asker{job, ask ? *ask : PfRemoteAsk{}, user, password};
    g_object_set_data_full(G_OBJECT(op), "tc-asker", a, [](gpointer p) {
        auto* asker = static_cast<Asker*>(p);
        Wipe(asker->preset_password);
        delete asker;
    });
    g_signal_connect(op, "ask-password", G_CALLBACK(OnAskPassword), a);
    g_signal_connect(op, "ask-question", G_CALLBACK(OnAskQuestion), a);
    g_signal_connect(op, "show-processes", G_CALLBACK(OnShowProcesses), a);
    return op;
}
