// SPDX-License-Identifier: MIT
#include "ui/guarded.h"

#include "ui/prompter.h"

#include <exception>

namespace tessory {

void runGuarded(Prompter& prompter, QWidget* owner, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        prompter.showMessage(owner, QMessageBox::Critical, QString::fromUtf8(error.what()),
                             QMessageBox::Ok);
    }
}

}  // namespace tessory
