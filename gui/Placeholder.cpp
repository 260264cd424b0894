// The GUI library; its classes arrive with the table-screen renderer.
namespace torvane::gui {
void placeholder() {}
}
