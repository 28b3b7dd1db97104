#pragma once

// The calls from WebAssembly into the page (page/page.js). Those marked "waits" let the browser
// run meanwhile (Asyncify) and return once it has answered, as a blocking call would; they are
// made only from Main or from a handler the message loop runs, never from inside another wait.
// (A waiting call is imported under the name EM_ASYNC_JS gives it.)

#include <emscripten/em_macros.h>

extern "C" {
// The program's title, `length` UTF-16 code units: the page's title and the end notice use it.
void quibly_page_begin(const char16_t* title, int length);
// Whether the page's test hook wants every window operation; and handing one to it (waits).
int quibly_page_traced();
void quibly_page_trace(const char* object, const char* operation)
    EM_IMPORT(__asyncjs__quibly_page_trace);

// Builds window `id` from its description (JSON), hidden, once its fonts and pictures are
// loaded (waits). Returns 0, or malloc'd UTF-8 lines naming what failed: the control (empty for
// the window), the operation and the reason; the page has then removed what it had built.
char* quibly_page_create_window(int id, const char* json)
    EM_IMPORT(__asyncjs__quibly_page_create_window);
void quibly_page_show_window(int id);
// Waits until a frame showing the window has been presented.
void quibly_page_refresh_window(int id) EM_IMPORT(__asyncjs__quibly_page_refresh_window);
void quibly_page_destroy_window(int id);

// A label's caption or a text box's text as malloc'd UTF-16 code units, `length` of them.
char16_t* quibly_page_control_text(int id, int control, int* length);
void quibly_page_set_caption(int id, int control, const char16_t* text, int length);
void quibly_page_announce(const char16_t* text, int length);

// Waits for the user's next action on a window: returns its kind (PageEvent) and sets the window
// and the control or menu index.
int quibly_page_next_event(int* window, int* item) EM_IMPORT(__asyncjs__quibly_page_next_event);

// Shows a modal box from its request (JSON) and waits for the answer's code; 0 if none.
int quibly_page_message_box(const char* json) EM_IMPORT(__asyncjs__quibly_page_message_box);
// Shows the run-time error box (JSON) and waits until it is answered.
void quibly_page_run_time_error(const char* json) EM_IMPORT(__asyncjs__quibly_page_run_time_error);

// The program has ended with `status`: the page says so and offers to start it again.
void quibly_page_ended(int status);
}

namespace FormsRuntime::web {

enum PageEvent : int { ControlClicked = 1, MenuClicked = 2, WindowClosed = 3 };

} // namespace FormsRuntime::web
