#include "frontend/DialogRoutes.h"

#include "platform/MessageSink.h"
#include "resources/DialogTemplates.h"

DialogRoute RouteMessage(unsigned message) {
    DialogRoute route;
    switch (message) {
        case MsgCreateAbout: route.create = (DialogSlot::About); break;
        case MsgCreateLogin: route.create = (DialogSlot::Login); break;
        case MsgCreateMain: route.create = (DialogSlot::Main); break;
        case MsgCreateHelp: route.create = (DialogSlot::Help); break;
        case MsgCreatePassword:
            route.create = (DialogSlot::Password);
            route.destroy = (DialogSlot::About);
            break;
        case MsgDestroyAbout: route.destroy = (DialogSlot::About); break;
        case MsgDestroyLogin: route.destroy = (DialogSlot::Login); break;
        case MsgDestroyMain: route.destroy = (DialogSlot::Main); break;
        case MsgDestroyHelp: route.destroy = (DialogSlot::Help); break;
        case MsgDestroyPassword: route.destroy = (DialogSlot::Password); break;
        case MsgSessionOpen:
        case MsgSessionClosed:
        case MsgShowInfoLine:
        case MsgRefreshParameter:
        case MsgShowNotice:
        case MsgFocusParameter:
        case MsgShowStatus: route.toMain = true; break;
        default: break;
    }
    return route;
}

int TemplateOf(DialogSlot slot) {
    constexpr int kTemplates[kDialogSlotCount] = {DialogAbout, DialogLogin, DialogMain, DialogHelp, DialogPassword};
    return kTemplates[static_cast<int>(slot)];
}
