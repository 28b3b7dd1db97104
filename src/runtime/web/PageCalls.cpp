// Each call forwards to the page object that page/page.js defines in the same script.

#include "runtime/web/PageCalls.h"

#include <emscripten/emscripten.h>

// clang-format off
EM_JS(void, quibly_page_begin, (const char16_t* title, int length), {
    QuiblyPage.begin(QuiblyPage.text(title, length));
})
EM_JS(int, quibly_page_traced, (), {
    return QuiblyPage.traced() ? 1 : 0;
})
EM_ASYNC_JS(void, quibly_page_trace, (const char* object, const char* operation), {
    await QuiblyPage.trace(UTF8ToString(object), UTF8ToString(operation));
})
EM_ASYNC_JS(char*, quibly_page_create_window, (int id, const char* json), {
    const failure = await QuiblyPage.createWindow(id, JSON.parse(UTF8ToString(json)));
    return failure ? QuiblyPage.utf8(failure.join("\n")) : 0;
})
EM_JS(void, quibly_page_show_window, (int id), {
    QuiblyPage.showWindow(id);
})
EM_ASYNC_JS(void, quibly_page_refresh_window, (int id), {
    await QuiblyPage.refreshWindow(id);
})
EM_JS(void, quibly_page_destroy_window, (int id), {
    QuiblyPage.destroyWindow(id);
})
EM_JS(char16_t*, quibly_page_control_text, (int id, int control, int* length), {
    return QuiblyPage.utf16(QuiblyPage.controlText(id, control), length);
})
EM_JS(void, quibly_page_set_caption, (int id, int control, const char16_t* text, int length), {
    QuiblyPage.setCaption(id, control, QuiblyPage.text(text, length));
})
EM_JS(void, quibly_page_announce, (const char16_t* text, int length), {
    QuiblyPage.announce(QuiblyPage.text(text, length));
})
EM_ASYNC_JS(int, quibly_page_next_event, (int* window, int* item), {
    const event = await QuiblyPage.nextEvent();
    HEAP32[window >> 2] = event.window;
    HEAP32[item >> 2] = event.item;
    return event.kind;
})
EM_ASYNC_JS(int, quibly_page_message_box, (const char* json), {
    return await QuiblyPage.messageBox(JSON.parse(UTF8ToString(json)));
})
EM_ASYNC_JS(void, quibly_page_run_time_error, (const char* json), {
    await QuiblyPage.runTimeError(JSON.parse(UTF8ToString(json)));
})
EM_JS(void, quibly_page_ended, (int status), {
    QuiblyPage.ended(status);
})
// clang-format on
