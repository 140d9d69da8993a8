// SPDX-FileCopyrightText: 2026 Tamsk
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/wayland/PortalPickerPlatform.h"

#include "platform/wayland/LayoutKeysyms.h"
#include "platform/wayland/PortalSession.h"
#include "platform/wayland/RestoreTokenStore.h"
#include "platform/wayland/WaylandKeymap.h"

std::unique_ptr<PortalPickerPlatform> PortalPickerPlatform::open()
{
    PortalSession* session = PortalSession::instance();
    if (!session)
        return nullptr;
    if (!session->loadToken) {
        session->loadToken = [] { return RestoreTokenStore::load(); };
        // A token that cannot be kept costs the next run a question, nothing more.
        session->saveToken = [](const QString& token) { RestoreTokenStore::save(token); };
    }
    return std::unique_ptr<PortalPickerPlatform>(new PortalPickerPlatform(session));
}

PortalPickerPlatform::PortalPickerPlatform(PortalSession* session) : session(session) {}

PortalPickerPlatform::~PortalPickerPlatform()
{
    cancelTyping();
}

void PortalPickerPlatform::prepareTyping(std::function<void(TypeResult)> done)
{
    if (!session) {
        done(TypeResult::NotAvailable);
        return;
    }
    session->start([done = std::move(done)](PortalSession::State state) {
        switch (state) {
        case PortalSession::State::Ready:
            done(TypeResult::Typed);
            return;
        case PortalSession::State::Declined:
            done(TypeResult::Declined);
            return;
        case PortalSession::State::Refused:
            done(TypeResult::Refused);
            return;
        default:
            done(TypeResult::NotAvailable);
            return;
        }
    });
}

void PortalPickerPlatform::startTypingIntoFocus(const QString& text,
                                                std::function<void(TypeResult)> done)
{
    cancelTyping();
    if (!session || session->state() != PortalSession::State::Ready) {
        done(TypeResult::NotAvailable);
        return;
    }
    // Read afresh each time: the user may have switched layouts since the last password.
    const LayoutKeysyms layout(readCompositorKeymap());
    if (!layout.isValid()) {
        done(TypeResult::NotAvailable);
        return;
    }
    auto keysyms = layout.keysymsFor(text);
    if (!keysyms) {
        done(TypeResult::Failed);
        return;
    }
    typing = true;
    session->typeKeysyms(std::move(*keysyms), [this, done = std::move(done)](bool typed) {
        typing = false;
        done(typed ? TypeResult::Typed : TypeResult::NotAvailable);
    });
}

void PortalPickerPlatform::cancelTyping()
{
    if (typing && session)
        session->stopTyping();
    typing = false;
}
