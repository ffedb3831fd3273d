#pragma once
#include <QString>
#include <functional>

// Message boxes in the numbering of the Windows platform: style 0 OK only,
// 16 critical, 48 exclamation, 64 information, plus 4 for Yes/No.
namespace MsgBox {

enum Style { OkOnly = 0, YesNo = 4, Critical = 16, Exclamation = 48, Information = 64 };
enum Answer { Ok = 1, Yes = 6, No = 7 };

struct Call {
    QString prompt;
    int style = 0;
    QString title;   // the title as shown (the application's when none given)
};

// Shows a modal box owned by the active window and returns the answer.
int show(const QString &prompt, int style = OkOnly, const QString &title = QString());

// Tests replace the box: the handler gets each call and returns the answer.
using Handler = std::function<int(const Call &)>;
void setHandler(Handler handler);

QString applicationTitle();

}   // namespace MsgBox
