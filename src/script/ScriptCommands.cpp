#include "script/ScriptCommands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <thread>
#include <variant>

#include "photos/FotoCache.h"
#include "devices/FirmaViewController.h"
#include "devices/TestScannerSource.h"
#include "mail/MailComposeViewController.h"
#include "screens/ComboViewController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TabbedScreen.h"
#include "script/ScreenItems.h"
#include "script/ScreenText.h"
#include "script/ScriptWords.h"

namespace torvane::script {

namespace {

using Arguments = std::vector<std::string>;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

long long number(const std::string& text, const std::string& what, long long min = 0, long long max = 1'000'000'000) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < min || value > max)
        throw ScriptFault(what + " vuole un numero da " + std::to_string(min) + " a " + std::to_string(max) + ", non '" +
                          text + "'");
    return value;
}

// The screen in front, held for the whole command: a screen may close itself while it runs.
std::shared_ptr<ui::Screen> front(ScriptSession& session) {
    ui::Screen* screen = session.ui().visible();
    if (!screen) throw ScriptFault("nessuno schermo in primo piano");
    return screen->shared_from_this();
}

ui::IndexPath place(ui::Screen& screen, const Arguments& arguments) {
    screen.discardCachedContent();
    const int sections = screen.numberOfSections();
    const int s = static_cast<int>(number(arguments.at(0), "la sezione"));
    if (s >= sections) throw ScriptFault("non c'e' la sezione " + std::to_string(s) + " (sezioni: " + std::to_string(sections) + ")");
    const int rows = screen.numberOfRows(s);
    const int r = static_cast<int>(number(arguments.at(1), "la riga"));
    if (r >= rows)
        throw ScriptFault("la sezione " + std::to_string(s) + " non ha la riga " + std::to_string(r) + " (righe: " +
                          std::to_string(rows) + ")");
    return {s, r};
}

bool namedAs(const std::string& wanted, const std::string& title, const std::string& action) {
    return trimmed(title) == trimmed(wanted) || action == wanted;
}

CommandResult tab(ScriptSession& session, const Arguments& arguments) {
    // The tabs of a tabbed form in front come before the application's.
    if (auto* form = dynamic_cast<ui::TabbedScreen*>(session.ui().visible())) {
        const auto titles = form->tabTitles();
        for (std::size_t i = 0; i < titles.size(); ++i)
            if (lowered(trimmed(titles[i])) == lowered(trimmed(arguments[0]))) {
                session.ui().finishEditing();
                form->selectTab(static_cast<int>(i));
                return {};
            }
    }
    const auto& tabs = session.ui().navigation().tabs();
    for (std::size_t i = 0; i < tabs.size(); ++i)
        if (lowered(trimmed(tabs[i].title)) == lowered(trimmed(arguments[0]))) {
            session.ui().selectTab(static_cast<int>(i));
            return {};
        }
    std::string names;
    for (const auto& t : tabs) names += (names.empty() ? "" : ", ") + t.title;
    throw ScriptFault("non c'e' la scheda " + arguments[0] + " (schede: " + names + ")");
}

CommandResult scan(ScriptSession& session, const Arguments& arguments) {
    if (!session.scanner().running()) session.print("(lo scanner non e' collegato: la lettura va persa)");
    session.scanner().scan(arguments[0]);
    return {};
}

CommandResult tap(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    const ui::IndexPath where = place(*screen, arguments);
    const ui::Row row = screen->rowAt(where.section, where.row);
    if (screen->allowsMultipleSelection() && row.selected) screen->didDeselectRow(where.section, where.row);
    else screen->didSelectRow(where.section, where.row);
    return {};
}

CommandResult remove(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    const ui::IndexPath where = place(*screen, arguments);
    if (!screen->rowAt(where.section, where.row).deletable)
        throw ScriptFault("la riga " + arguments[0] + " " + arguments[1] + " non si puo' cancellare");
    screen->commitDeletion(where.section, where.row);
    return {};
}

CommandResult accessory(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    const ui::IndexPath where = place(*screen, arguments);
    const ui::Accessory kind = screen->rowAt(where.section, where.row).accessory;
    if (kind != ui::Accessory::DetailButton && kind != ui::Accessory::DetailDisclosure)
        throw ScriptFault("la riga " + arguments[0] + " " + arguments[1] + " non ha il pulsante di dettaglio");
    screen->accessoryTapped(where.section, where.row);
    return {};
}

std::size_t characterCount(const std::string& text) { return utf8Characters(text).size(); }

// Typing as a person does: the field is entered, emptied, given one character at a time (each
// checked by the screen), then Return, then left.
CommandResult type(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    const int tag = static_cast<int>(number(arguments[0], "il tag", -1'000'000, 1'000'000));
    auto field = ScreenItems::fieldWithTag(*screen, tag);
    if (!field) throw ScriptFault("nessun campo con tag " + arguments[0] + " su questo schermo");
    if (!field->enabled) throw ScriptFault("il campo " + arguments[0] + " non e' modificabile");
    ScriptUi& ui = session.ui();
    ui.beginEditing(*screen, tag, field->text);
    auto stillEditing = [&] { return ui.editing() && ui.editing()->screen == screen.get() && ui.editing()->tag == tag; };
    if (!stillEditing()) return {};
    std::string text = ui.editing()->text;
    if (!text.empty() && screen->shouldChangeCharacters(tag, "")) text.clear();
    const std::string& wanted = arguments.size() > 1 ? arguments[1] : std::string();
    for (const std::string& character : utf8Characters(wanted)) {
        std::string candidate = text + character;
        if (field->maxLength > 0 && characterCount(candidate) > static_cast<std::size_t>(field->maxLength)) continue;
        if (screen->shouldChangeCharacters(tag, candidate)) text = std::move(candidate);
        if (!stillEditing()) return {};
        ui.setEditingText(text);
    }
    ui.setEditingText(text);
    screen->textFieldShouldReturn(tag);
    if (stillEditing()) ui.finishEditing();
    return {};
}

CommandResult button(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    const std::string& wanted = arguments[0];
    for (const auto& nav : screen->navigationButtons())
        if (namedAs(wanted, nav.title, nav.action)) {
            if (!nav.enabled) throw ScriptFault("il pulsante " + wanted + " e' disabilitato");
            screen->navigationButtonTapped(nav.action);
            return {};
        }
    std::optional<std::pair<ui::Button, ui::IndexPath>> found;
    ScreenItems::forEach(*screen, [&](const ui::Item& item, ui::IndexPath where) {
        if (auto* b = std::get_if<ui::Button>(&item); b && namedAs(wanted, b->title, b->action)) found = {{*b, where}};
        return found.has_value();
    });
    if (!found) throw ScriptFault("nessun pulsante " + wanted + " su questo schermo");
    if (found->first.hidden) throw ScriptFault("il pulsante " + wanted + " e' nascosto");
    if (!found->first.enabled) throw ScriptFault("il pulsante " + wanted + " e' disabilitato");
    screen->buttonTapped(found->first.action, found->second);
    return {};
}

CommandResult toggle(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    if (arguments[1] != "on" && arguments[1] != "off") throw ScriptFault("switch vuole on oppure off");
    std::optional<std::pair<ui::Switch, ui::IndexPath>> found;
    ScreenItems::forEach(*screen, [&](const ui::Item& item, ui::IndexPath where) {
        if (auto* s = std::get_if<ui::Switch>(&item); s && namedAs(arguments[0], s->title, s->action)) found = {{*s, where}};
        return found.has_value();
    });
    if (!found) throw ScriptFault("nessun interruttore " + arguments[0] + " su questo schermo");
    if (!found->first.enabled) throw ScriptFault("l'interruttore " + arguments[0] + " e' disabilitato");
    screen->switchChanged(found->first.action, arguments[1] == "on", found->second);
    return {};
}

CommandResult stepper(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    const ui::IndexPath where = place(*screen, arguments);
    const ui::Row row = screen->rowAt(where.section, where.row);
    for (const ui::Item& item : row.items)
        if (auto* s = std::get_if<ui::Stepper>(&item)) {
            const double value = static_cast<double>(number(arguments[2], "il valore", static_cast<long long>(s->minimum),
                                                            static_cast<long long>(s->maximum)));
            if (!s->enabled) throw ScriptFault("lo stepper e' disabilitato");
            screen->stepperChanged(s->action, value, where);
            return {};
        }
    throw ScriptFault("la riga " + arguments[0] + " " + arguments[1] + " non ha uno stepper");
}

std::shared_ptr<ui::Screen> searchable(ScriptSession& session) {
    auto screen = front(session);
    if (!screen->hasSearchBar()) throw ScriptFault("questo schermo non ha la ricerca");
    return screen;
}

CommandResult search(ScriptSession& session, const Arguments& arguments) {
    auto screen = searchable(session);
    const std::string text = arguments.empty() ? std::string() : arguments[0];
    screen->searchTextChanged(text);
    screen->searchButtonClicked(text);
    return {};
}

CommandResult searchCancel(ScriptSession& session, const Arguments&) {
    searchable(session)->searchCancelled();
    return {};
}

CommandResult answer(ScriptSession& session, const Arguments& arguments) {
    if (!session.ui().hasOpenAlert()) throw ScriptFault("nessun avviso a cui rispondere");
    session.ui().answerOldest(alertAnswer(session.ui().oldestAlert(), arguments));
    return {};
}

CommandResult pick(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    auto* picker = dynamic_cast<ComboViewController*>(screen.get());
    if (!picker) throw ScriptFault("nessuna lista di scelta in primo piano");
    screen->discardCachedContent();
    const int rows = screen->numberOfSections() > 0 ? screen->numberOfRows(0) : 0;
    const std::string& wanted = arguments[0];
    const bool byIndex = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); });
    if (byIndex) {
        const int index = static_cast<int>(number(wanted, "la posizione"));
        if (index >= rows) throw ScriptFault("la lista ha " + std::to_string(rows) + " voci, non c'e' la " + wanted);
        screen->didSelectRow(0, index);
        return {};
    }
    // The entry whose text is the one given, else the first that contains it.
    std::optional<int> containing;
    for (int r = 0; r < rows; ++r) {
        const std::string shown = ScreenText::row(screen->rowAt(0, r));
        if (trimmed(shown) == trimmed(wanted)) {
            screen->didSelectRow(0, r);
            return {};
        }
        if (!containing && shown.find(wanted) != std::string::npos) containing = r;
    }
    if (!containing) throw ScriptFault("nessuna voce della lista contiene " + wanted);
    screen->didSelectRow(0, *containing);
    return {};
}

// "x,y x,y | x,y": strokes drawn on the signature pad in front, a point every 20 ms.
CommandResult sign(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    auto* firma = dynamic_cast<FirmaViewController*>(screen.get());
    if (!firma) throw ScriptFault("nessuna area firma in primo piano");
    SignaturePad& pad = firma->pad();
    double time = 0;
    bool inStroke = false;
    for (const std::string& word : arguments) {
        if (word == "|") {
            if (inStroke) pad.end();
            inStroke = false;
            continue;
        }
        const auto comma = word.find(',');
        if (comma == std::string::npos) throw ScriptFault("sign vuole punti x,y, non '" + word + "'");
        const double x = static_cast<double>(number(word.substr(0, comma), "la x", 0, 10000));
        const double y = static_cast<double>(number(word.substr(comma + 1), "la y", 0, 10000));
        time += 0.02;
        if (!inStroke) pad.begin(x, y, time);
        else pad.move(x, y, time);
        inStroke = true;
    }
    if (inStroke) pad.end();
    firma->padChanged();
    return {};
}

// "send|save|cancel [--to ADDRESS]": the compose screen in front, its To field first set when asked.
CommandResult mail(ScriptSession& session, const Arguments& arguments) {
    auto screen = front(session);
    auto* composer = dynamic_cast<MailComposeViewController*>(screen.get());
    if (!composer) throw ScriptFault("nessun messaggio da comporre in primo piano");
    static const std::pair<const char*, const char*> buttons[] = {{"send", "invia"}, {"save", "salva"}, {"cancel", "annulla"}};
    const char* action = nullptr;
    for (const auto& [verb, button] : buttons)
        if (arguments[0] == verb) action = button;
    if (!action) throw ScriptFault("mail vuole send, save o cancel, non '" + arguments[0] + "'");
    if (arguments.size() == 2 || (arguments.size() == 3 && arguments[1] != "--to"))
        throw ScriptFault("mail vuole --to INDIRIZZO dopo " + arguments[0]);
    session.ui().finishEditing();
    if (arguments.size() == 3) composer->setRecipientField(arguments[2]);
    composer->navigationButtonTapped(action);
    return {};
}

CommandResult photo(ScriptSession& session, const Arguments& arguments) {
    if (!session.ui().answerImageChoice(arguments[0])) throw ScriptFault("nessuno schermo ha chiesto un'immagine");
    return {};
}

CommandResult back(ScriptSession& session, const Arguments&) {
    auto screen = front(session);
    ui::NavigationStacks& navigation = session.ui().navigation();
    const auto where = navigation.placeOf(*screen);
    const auto& stack = where && *where >= 0 ? navigation.stack(*where)
                                             : navigation.modals().at(static_cast<std::size_t>(-1 - where.value_or(-1)));
    if (stack.size() < 2) throw ScriptFault("non c'e' uno schermo a cui tornare");
    session.ui().pop(*screen);
    return {};
}

CommandResult wait(ScriptSession& session, const Arguments& arguments) {
    session.ui().advance(std::chrono::milliseconds(number(arguments[0], "l'attesa", 0, 86'400'000)));
    return {};
}

// Photos are downloaded by threads of their own: a script waits for those asked (at most 30 s)
// before it looks at them.
CommandResult waitPhotos(ScriptSession& session, const Arguments&) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((FotoCache::shared().inAttesa() || FotoCache::shared().inCorso()) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    session.ui().settle();
    return {};
}

CommandResult show(ScriptSession& session, const Arguments&) {
    std::string text = ScreenText::of(session.ui());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    session.print(text);
    return {};
}

std::string shownAndAlert(ScriptSession& session) {
    return ScreenText::of(session.ui()) + session.ui().lastAlert().value_or("");
}

CommandResult expect(ScriptSession& session, const Arguments& arguments) {
    const std::string shown = shownAndAlert(session);
    if (shown.find(arguments[0]) != std::string::npos) return {};
    return {CommandResult::Failed, "non trovo \"" + arguments[0] + "\" in:\n" + shown};
}

CommandResult expectNot(ScriptSession& session, const Arguments& arguments) {
    const std::string shown = shownAndAlert(session);
    if (shown.find(arguments[0]) == std::string::npos) return {};
    return {CommandResult::Failed, "trovo \"" + arguments[0] + "\" che non dovrebbe esserci, in:\n" + shown};
}

CommandResult expectAlert(ScriptSession& session, const Arguments& arguments) {
    const auto& last = session.ui().lastAlert();
    if (last && last->find(arguments[0]) != std::string::npos) return {};
    return {CommandResult::Failed, "l'ultimo avviso non contiene \"" + arguments[0] + "\": " + last.value_or("(nessun avviso)")};
}

CommandResult help(ScriptSession& session, const Arguments&) {
    std::string text = scriptHelp();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    session.print(text);
    return {};
}

}  // namespace

const std::vector<ScriptCommand>& scriptCommands() {
    static const std::vector<ScriptCommand> commands = {
        {"tab", "TITOLO", "passa alla scheda", 1, 1, true, tab},
        {"scan", "TESTO", "una lettura dello scanner", 1, 1, true, scan},
        {"tap", "S R", "tocca la riga R della sezione S", 2, 2, true, tap},
        {"accessory", "S R", "tocca il pulsante di dettaglio della riga", 2, 2, true, accessory},
        {"delete", "S R", "cancella la riga (come il pulsante Elimina)", 2, 2, true, remove},
        {"type", "TAG TESTO", "scrive nel campo (un carattere alla volta, poi Invio)", 1, 2, true, type},
        {"button", "TITOLO", "preme un pulsante della barra o di una riga", 1, 1, true, button},
        {"switch", "TITOLO on|off", "sposta un interruttore", 2, 2, true, toggle},
        {"stepper", "S R VALORE", "porta lo stepper della riga al valore", 3, 3, true, stepper},
        {"search", "TESTO", "cerca nella lista", 0, 1, true, search},
        {"search-cancel", "", "annulla la ricerca", 0, 0, true, searchCancel},
        {"answer", "PULSANTE [CAMPO...]", "risponde all'avviso piu' vecchio", 1, -1, false, answer},
        {"pick", "POSIZIONE|TESTO", "sceglie una voce della lista di scelta", 1, 1, true, pick},
        {"sign", "x,y x,y [| x,y ...]", "firma: i tratti sull'area firma ('|' ne comincia un altro)", 1, -1, true, sign},
        {"mail", "send|save|cancel [--to INDIRIZZO]", "il messaggio in primo piano: Invia, Salva o Annulla", 1, 3, true, mail},
        {"photo", "FILE", "l'immagine chiesta da uno schermo (PNG o JPEG)", 1, 1, false, photo},
        {"back", "", "torna allo schermo precedente", 0, 0, true, back},
        {"wait", "MS", "lascia passare il tempo (i timer scadono in ordine)", 1, 1, false, wait},
        {"wait-photos", "", "attende le foto chieste (al piu' 30 s)", 0, 0, false, waitPhotos},
        {"show", "", "stampa lo schermo in primo piano", 0, 0, false, show},
        {"expect", "TESTO", "lo schermo o l'ultimo avviso contiene il testo", 1, 1, false, expect},
        {"expect-not", "TESTO", "ne' lo schermo ne' l'ultimo avviso contiene il testo", 1, 1, false, expectNot},
        {"expect-alert", "TESTO", "l'ultimo avviso contiene il testo", 1, 1, false, expectAlert},
        {"help", "", "questo elenco", 0, 0, false, help},
    };
    return commands;
}

const ScriptCommand* findScriptCommand(const std::string& name) {
    for (const auto& command : scriptCommands())
        if (command.name == name) return &command;
    return nullptr;
}

std::string scriptHelp() {
    std::string text = "Comandi (uno per riga; # commento; le virgolette tengono gli spazi):\n";
    for (const auto& command : scriptCommands()) {
        std::string head = "  " + command.name + (command.arguments.empty() ? "" : " " + command.arguments);
        if (head.size() < 34) head.resize(34, ' ');
        else head += "  ";
        text += head + command.help + "\n";
    }
    return text;
}

ui::AlertAnswer alertAnswer(const ui::Alert& alert, const std::vector<std::string>& arguments) {
    ui::AlertAnswer answer;
    const std::string& wanted = arguments.at(0);
    std::optional<int> index;
    for (std::size_t i = 0; i < alert.buttons.size() && !index; ++i)
        if (trimmed(alert.buttons[i]) == trimmed(wanted)) index = static_cast<int>(i);
    for (std::size_t i = 0; i < alert.buttons.size() && !index; ++i)
        if (lowered(trimmed(alert.buttons[i])) == lowered(trimmed(wanted))) index = static_cast<int>(i);
    if (!index && !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](unsigned char c) { return std::isdigit(c); })) {
        const long long n = number(wanted, "il pulsante");
        if (n < static_cast<long long>(std::max<std::size_t>(alert.buttons.size(), 1))) index = static_cast<int>(n);
    }
    if (!index) {
        std::string names;
        for (const auto& b : alert.buttons) names += (names.empty() ? "" : ", ") + b;
        throw ScriptFault("l'avviso non ha il pulsante " + wanted + " (pulsanti: " + names + ")");
    }
    if (arguments.size() - 1 > alert.textFields.size())
        throw ScriptFault("l'avviso ha " + std::to_string(alert.textFields.size()) + " campi, non " +
                          std::to_string(arguments.size() - 1));
    answer.buttonIndex = *index;
    answer.texts.assign(arguments.begin() + 1, arguments.end());
    answer.texts.resize(alert.textFields.size());
    return answer;
}

}  // namespace torvane::script
