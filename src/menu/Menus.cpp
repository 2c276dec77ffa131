#include "menu/Menus.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace {

// The HUD's colours: its warm ink, the gold of the best score and the panel's rim, the round-end
// panel's dark glass.
const ImVec4 kInk(1.0f, 0.96f, 0.86f, 1.0f);
const ImVec4 kQuiet(0.86f, 0.83f, 0.76f, 1.0f);
const ImVec4 kGold(1.0f, 0.84f, 0.3f, 1.0f);
const ImVec4 kRed(1.0f, 0.36f, 0.26f, 1.0f);
const ImVec4 kGlass(0.06f, 0.07f, 0.09f, 0.86f);
const ImVec4 kRim(0.95f, 0.8f, 0.45f, 0.55f);

ImVec4 withAlpha(ImVec4 colour, float alpha) {
    colour.w = alpha;
    return colour;
}

void styleLikeTheHud(float pixels) {
    ImGuiStyle& style = ImGui::GetStyle();
    style = ImGuiStyle();
    style.WindowRounding = 0.0f;
    style.FrameRounding = 0.0f;
    style.WindowBorderSize = std::max(2.0f, pixels / 8.0f);
    style.FrameBorderSize = 0.0f;
    style.WindowPadding = ImVec2(pixels * 1.2f, pixels);
    style.FramePadding = ImVec2(pixels * 0.6f, pixels * 0.3f);
    style.ItemSpacing = ImVec2(pixels * 0.6f, pixels * 0.45f);
    style.GrabMinSize = pixels * 0.8f;
    style.ScrollbarSize = pixels * 0.8f;
    ImVec4* c = style.Colors;
    c[ImGuiCol_Text] = kInk;
    c[ImGuiCol_TextDisabled] = withAlpha(kQuiet, 0.6f);
    c[ImGuiCol_WindowBg] = kGlass;
    c[ImGuiCol_ChildBg] = ImVec4(0, 0, 0, 0);
    c[ImGuiCol_PopupBg] = kGlass;
    c[ImGuiCol_Border] = kRim;
    c[ImGuiCol_FrameBg] = ImVec4(0.26f, 0.24f, 0.2f, 0.92f);
    c[ImGuiCol_FrameBgHovered] = ImVec4(0.3f, 0.26f, 0.18f, 0.9f);
    c[ImGuiCol_FrameBgActive] = ImVec4(0.42f, 0.34f, 0.18f, 0.95f);
    c[ImGuiCol_Button] = ImVec4(0.18f, 0.17f, 0.15f, 0.9f);
    c[ImGuiCol_ButtonHovered] = ImVec4(0.55f, 0.42f, 0.16f, 0.95f);
    c[ImGuiCol_ButtonActive] = withAlpha(kGold, 0.95f);
    c[ImGuiCol_Header] = ImVec4(0.3f, 0.26f, 0.18f, 0.9f);
    c[ImGuiCol_HeaderHovered] = ImVec4(0.55f, 0.42f, 0.16f, 0.95f);
    c[ImGuiCol_HeaderActive] = withAlpha(kGold, 0.95f);
    c[ImGuiCol_CheckMark] = kGold;
    c[ImGuiCol_SliderGrab] = withAlpha(kGold, 0.45f);
    c[ImGuiCol_SliderGrabActive] = withAlpha(kGold, 0.8f);
    c[ImGuiCol_Tab] = ImVec4(0.18f, 0.17f, 0.15f, 0.9f);
    c[ImGuiCol_TabHovered] = ImVec4(0.55f, 0.42f, 0.16f, 0.95f);
    c[ImGuiCol_TabActive] = ImVec4(0.45f, 0.35f, 0.15f, 1.0f);
    c[ImGuiCol_TabUnfocused] = c[ImGuiCol_Tab];
    c[ImGuiCol_TabUnfocusedActive] = c[ImGuiCol_TabActive];
    c[ImGuiCol_Separator] = kRim;
    c[ImGuiCol_PlotHistogram] = kGold;
    c[ImGuiCol_NavHighlight] = kGold;
    c[ImGuiCol_TableHeaderBg] = ImVec4(0.18f, 0.17f, 0.15f, 0.9f);
    c[ImGuiCol_TableBorderStrong] = withAlpha(kRim, 0.3f);
    c[ImGuiCol_TableBorderLight] = withAlpha(kRim, 0.15f);
    c[ImGuiCol_TableRowBg] = ImVec4(0, 0, 0, 0);
    c[ImGuiCol_TableRowBgAlt] = ImVec4(1, 1, 1, 0.04f);
}

// The pad's buttons and stick as ImGui's navigation inputs (0 to 1).
float stick(float value, bool positive) {
    const float v = positive ? value : -value;
    return v > 0.3f ? std::min((v - 0.3f) / 0.6f, 1.0f) : 0.0f;
}

const char* const kPadRows[][2] = {
    {"Left stick", "walk and turn"},
    {"Right stick", "look about"},
    {"Right trigger", "shoot"},
    {"Left trigger", "dash"},
    {"A", "jump (menus: choose)"},
    {"B", "menus: back"},
    {"Y", "new world"},
    {"Start", "pause menu"},
};

const char* const kFixedKeys[][2] = {
    {"Mouse", "look about"},
    {"F11", "full screen"},
    {"F1 F3 F4 F8", "debug views"},
};

}  // namespace

Menus::Menus(GLFWwindow* glfwWindow, const std::string& fontPath) : window(glfwWindow) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // the menus keep nothing of their own on disk
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard | ImGuiConfigFlags_NavEnableGamepad;
    io.BackendFlags |= ImGuiBackendFlags_HasGamepad;
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    // The HUD's text size for this window (it is laid out for 1080 lines), never below 16 pixels.
    fontPixels = std::max(16.0f, std::round(30.0f * std::min(width / 1920.0f, height / 1080.0f)));
    // Glyphs at whole pixels, one texel to a pixel, so that the atlas can be read without filtering:
    // a software renderer fills the panels about a third faster, and the text is as crisp.
    ImFontConfig glyphs;
    glyphs.OversampleH = 1;
    glyphs.OversampleV = 1;
    glyphs.PixelSnapH = true;
    text = io.Fonts->AddFontFromFileTTF(fontPath.c_str(), fontPixels, &glyphs);
    large = io.Fonts->AddFontFromFileTTF(fontPath.c_str(), std::round(fontPixels * 2.6f), &glyphs);
    styleLikeTheHud(fontPixels);
    ImGui_ImplGlfw_InitForOpenGL(window, false);
    ImGui_ImplOpenGL3_Init(nullptr);
    ImGui_ImplOpenGL3_CreateDeviceObjects();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(reinterpret_cast<std::intptr_t>(io.Fonts->TexID)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

Menus::~Menus() {
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
}

const char* Menus::escapeHint(bool escapeOpensMenu) {
    return escapeOpensMenu ? "Escape opens this menu" : "Escape quits the game";
}

void Menus::show(Screen screen) {
    if (screen == current) return;
    if (screen == Screen::Options || screen == Screen::Controls || screen == Screen::Scores) {
        if (current == Screen::Title || current == Screen::Pause) previous = current;
    }
    current = screen;
    focusFirst = true;
    captureAction = -1;
    refusal.clear();
}

bool Menus::back() {
    if (capturing()) {
        stopCapture();
        return false;
    }
    switch (current) {
        case Screen::Options:
        case Screen::Controls:
        case Screen::Scores: show(previous == Screen::None ? Screen::Title : previous); return false;
        case Screen::Pause: return true;
        default: return false;
    }
}

void Menus::capture(int input, Settings& settings) {
    if (!capturing()) return;
    std::string why;
    if (settings.bindings.bind(static_cast<Action>(captureAction), input, why))
        refusal.clear();
    else
        refusal = why;
    captureAction = -1;
}

void Menus::key(int key, int scancode, int action, int mods) {
    // ImGui reads the keys held at each frame: a key pressed and released within one frame (a quick
    // tap at a low frame rate) is released only after the frame that saw it down.
    if (action == GLFW_PRESS) pressedThisFrame.push_back(key);
    if (action == GLFW_RELEASE &&
        std::find(pressedThisFrame.begin(), pressedThisFrame.end(), key) != pressedThisFrame.end()) {
        heldOver.push_back({key, scancode, mods});
        return;
    }
    ImGui_ImplGlfw_KeyCallback(window, key, scancode, action, mods);
}

void Menus::mouseButton(int button, int action, int mods) {
    ImGui_ImplGlfw_MouseButtonCallback(window, button, action, mods);
}

void Menus::character(unsigned int codepoint) { ImGui_ImplGlfw_CharCallback(window, codepoint); }

void Menus::scroll(double dx, double dy) { ImGui_ImplGlfw_ScrollCallback(window, dx, dy); }

void Menus::focus(bool focused) { ImGui_ImplGlfw_WindowFocusCallback(window, focused ? 1 : 0); }

void Menus::cursorEnter(bool entered) { ImGui_ImplGlfw_CursorEnterCallback(window, entered ? 1 : 0); }

void Menus::readPad() {
    ImGuiIO& io = ImGui::GetIO();
    GLFWgamepadstate pad{};
    bool found = false;
    for (int id = GLFW_JOYSTICK_1; id <= GLFW_JOYSTICK_LAST && !found; ++id)
        found = glfwJoystickIsGamepad(id) && glfwGetGamepadState(id, &pad);
    std::fill(std::begin(io.NavInputs), std::end(io.NavInputs), 0.0f);
    // Enter chooses, as space does.
    if (io.KeysDown[GLFW_KEY_ENTER] || io.KeysDown[GLFW_KEY_KP_ENTER]) io.NavInputs[ImGuiNavInput_Activate] = 1.0f;
    if (!found) return;
    const auto pressed = [&pad](int button) { return pad.buttons[button] == GLFW_PRESS ? 1.0f : 0.0f; };
    io.NavInputs[ImGuiNavInput_Activate] = pressed(GLFW_GAMEPAD_BUTTON_A);
    io.NavInputs[ImGuiNavInput_Cancel] = pressed(GLFW_GAMEPAD_BUTTON_B);
    io.NavInputs[ImGuiNavInput_Input] = pressed(GLFW_GAMEPAD_BUTTON_Y);
    io.NavInputs[ImGuiNavInput_Menu] = pressed(GLFW_GAMEPAD_BUTTON_X);
    io.NavInputs[ImGuiNavInput_DpadUp] = pressed(GLFW_GAMEPAD_BUTTON_DPAD_UP);
    io.NavInputs[ImGuiNavInput_DpadDown] = pressed(GLFW_GAMEPAD_BUTTON_DPAD_DOWN);
    io.NavInputs[ImGuiNavInput_DpadLeft] = pressed(GLFW_GAMEPAD_BUTTON_DPAD_LEFT);
    io.NavInputs[ImGuiNavInput_DpadRight] = pressed(GLFW_GAMEPAD_BUTTON_DPAD_RIGHT);
    io.NavInputs[ImGuiNavInput_FocusPrev] = pressed(GLFW_GAMEPAD_BUTTON_LEFT_BUMPER);
    io.NavInputs[ImGuiNavInput_FocusNext] = pressed(GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER);
    const float x = pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X], y = pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
    io.NavInputs[ImGuiNavInput_LStickLeft] = stick(x, false);
    io.NavInputs[ImGuiNavInput_LStickRight] = stick(x, true);
    io.NavInputs[ImGuiNavInput_LStickUp] = stick(y, false);
    io.NavInputs[ImGuiNavInput_LStickDown] = stick(y, true);
}

void Menus::begin() {
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplGlfw_NewFrame();
    readPad();
    ImGui::NewFrame();
    ImGui::PushFont(text);
}

void Menus::end() {
    ImGui::PopFont();
    ImGui::Render();
    made.copy(*ImGui::GetDrawData());
    madeFrame = true;
    pressedThisFrame.clear();
    for (const HeldKey& held : heldOver)
        ImGui_ImplGlfw_KeyCallback(window, held.key, held.scancode, GLFW_RELEASE, held.mods);
    heldOver.clear();
}

void Menus::draw() { drawWithin(nullptr); }

void Menus::draw(const PixelRect& only) { drawWithin(&only); }

void Menus::drawWithin(const PixelRect* only) {
    if (!madeFrame) {
        drawn.clear();
        return;
    }
    ImDrawData& data = *ImGui::GetDrawData();
    if (only && !only->empty()) {
        // Every command clipped to `only`, in display units (whole pixels at the scales the changes are
        // told at).
        const ImVec2 origin = data.DisplayPos, scale = data.FramebufferScale;
        const float height = data.DisplaySize.y * scale.y;
        const ImVec4 box(origin.x + static_cast<float>(only->x) / scale.x,
                         origin.y + (height - static_cast<float>(only->y + only->height)) / scale.y,
                         origin.x + static_cast<float>(only->x + only->width) / scale.x,
                         origin.y + (height - static_cast<float>(only->y)) / scale.y);
        for (int i = 0; i < data.CmdListsCount; ++i) {
            for (ImDrawCmd& command : data.CmdLists[i]->CmdBuffer) {
                ImVec4& clip = command.ClipRect;
                clip = ImVec4(std::max(clip.x, box.x), std::max(clip.y, box.y), std::min(clip.z, box.z),
                              std::min(clip.w, box.w));
            }
        }
    }
    if (!only || !only->empty()) ImGui_ImplOpenGL3_RenderDrawData(&data);
    drawn.swap(made);
    madeFrame = false;
}

std::optional<PixelRect> Menus::changes() const {
    if (madeFrame) return drawn.changesTo(made);
    if (drawn.held()) return std::nullopt;
    return PixelRect{};
}

void Menus::drawLoading(const std::string& step, float done) {
    glClearColor(0.05f, 0.06f, 0.08f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    begin();
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    ImDrawList* canvas = ImGui::GetBackgroundDrawList();
    const char* name = "Quillmarsh";
    const ImVec2 nameSize = large->CalcTextSizeA(large->FontSize, size.x, 0.0f, name);
    canvas->AddText(large, large->FontSize, ImVec2((size.x - nameSize.x) / 2.0f, size.y * 0.3f),
                    ImGui::GetColorU32(kGold), name);
    const float barWidth = std::min(size.x * 0.5f, fontPixels * 24.0f);
    const ImVec2 barPos((size.x - barWidth) / 2.0f, size.y * 0.62f);
    const ImVec2 stepSize = ImGui::CalcTextSize(step.c_str());
    canvas->AddText(ImVec2((size.x - stepSize.x) / 2.0f, barPos.y - stepSize.y - fontPixels * 0.5f),
                    ImGui::GetColorU32(kQuiet), step.c_str());
    const float barHeight = fontPixels * 0.5f;
    canvas->AddRectFilled(barPos, ImVec2(barPos.x + barWidth, barPos.y + barHeight),
                          ImGui::GetColorU32(ImVec4(0.16f, 0.15f, 0.14f, 1.0f)));
    canvas->AddRectFilled(barPos, ImVec2(barPos.x + barWidth * std::clamp(done, 0.0f, 1.0f), barPos.y + barHeight),
                          ImGui::GetColorU32(kGold));
    end();
    draw();
}

void Menus::panel(const char* id, float width) {
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(size.x / 2.0f, size.y / 2.0f), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(ImVec2(std::min(width, size.x * 0.96f), 0.0f), ImGuiCond_Always);
    if (focusFirst) ImGui::SetNextWindowFocus();
    ImGui::Begin(id, nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_AlwaysAutoResize);
}

bool Menus::button(const char* label) {
    const bool pressed = ImGui::Button(label, ImVec2(-1.0f, 0.0f));
    if (focusFirst) {
        // A new screen starts with its first button chosen and shown so: Enter, space or the pad's A
        // press it at once.
        ImGui::SetFocusID(ImGui::GetItemID(), ImGui::GetCurrentWindow());
        GImGui->NavDisableHighlight = false;
        focusFirst = false;
    }
    return pressed;
}

void Menus::captionsBox(const std::vector<std::string>& captions) {
    if (captions.empty()) return;
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    ImDrawList* draw = ImGui::GetForegroundDrawList();
    const float margin = fontPixels * 1.2f, pad = fontPixels * 0.3f;
    float bottom = size.y - margin;
    for (auto caption = captions.rbegin(); caption != captions.rend(); ++caption) {
        const ImVec2 textSize = ImGui::CalcTextSize(caption->c_str());
        const ImVec2 topLeft(size.x - margin - textSize.x - 2.0f * pad, bottom - textSize.y - 2.0f * pad);
        draw->AddRectFilled(topLeft, ImVec2(size.x - margin, bottom), ImGui::GetColorU32(kGlass));
        draw->AddText(ImVec2(topLeft.x + pad, topLeft.y + pad), ImGui::GetColorU32(kInk), caption->c_str());
        bottom = topLeft.y - pad;
    }
}

MenuRequests Menus::frame(MenuModel& model, const std::vector<std::string>& captions) {
    const MenuRequests asked = prepare(model, captions);
    draw();
    return asked;
}

MenuRequests Menus::prepare(MenuModel& model, const std::vector<std::string>& captions) {
    MenuRequests asked;
    madeFrame = false;
    if (current == Screen::None && captions.empty()) return asked;  // nothing to draw costs nothing
    begin();
    // The pad's B goes back as Escape does with "Escape opens the menu" (the pause menu resumes).
    if (ImGui::GetIO().NavInputsDownDuration[ImGuiNavInput_Cancel] == 0.0f && current != Screen::None) {
        asked.play = back();
    }
    switch (current) {
        case Screen::Title: title(model, asked); break;
        case Screen::Pause: pause(model, asked); break;
        case Screen::Options: options(model, asked); break;
        case Screen::Controls: controls(model); break;
        case Screen::Scores: scores(model); break;
        case Screen::None: break;
    }
    captionsBox(captions);
    editingNow = ImGui::IsAnyItemActive();
    end();
    return asked;
}

void Menus::title(MenuModel& model, MenuRequests& asked) {
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    const char* name = "Quillmarsh";
    const ImVec2 nameSize = large->CalcTextSizeA(large->FontSize, size.x, 0.0f, name);
    ImGui::GetBackgroundDrawList()->AddText(large, large->FontSize,
                                            ImVec2((size.x - nameSize.x) / 2.0f, size.y * 0.5f - fontPixels * 11.0f),
                                            ImGui::GetColorU32(kGold), name);
    panel("##title", fontPixels * 14.0f);
    if (button("Play")) asked.play = true;
    if (ImGui::Button("Options", ImVec2(-1, 0))) show(Screen::Options);
    if (ImGui::Button("Controls", ImVec2(-1, 0))) show(Screen::Controls);
    if (ImGui::Button("Best scores", ImVec2(-1, 0))) show(Screen::Scores);
    if (ImGui::Button("Quit", ImVec2(-1, 0))) asked.quit = true;
    ImGui::Spacing();
    ImGui::TextColored(kQuiet, "%s", escapeHint(model.settings.escapeOpensMenu));
    ImGui::End();
}

void Menus::pause(MenuModel& model, MenuRequests& asked) {
    panel("##pause", fontPixels * 14.0f);
    ImGui::TextColored(kGold, "Paused");
    ImGui::Separator();
    if (button("Resume")) asked.play = true;
    if (ImGui::Button("New world", ImVec2(-1, 0))) asked.newWorld = true;
    if (ImGui::Button("Options", ImVec2(-1, 0))) show(Screen::Options);
    if (ImGui::Button("Controls", ImVec2(-1, 0))) show(Screen::Controls);
    if (ImGui::Button("Quit to title", ImVec2(-1, 0))) asked.quitToTitle = true;
    if (ImGui::Button("Quit", ImVec2(-1, 0))) asked.quit = true;
    ImGui::Spacing();
    ImGui::TextColored(kQuiet, "%s", escapeHint(model.settings.escapeOpensMenu));
    ImGui::TextColored(kQuiet, "%s resumes", Bindings::inputName(model.settings.bindings.input(Action::Pause)).c_str());
    ImGui::End();
}

void Menus::options(MenuModel& model, MenuRequests& asked) {
    Settings& s = model.settings;
    bool changed = false;
    const ImVec2 size = ImGui::GetIO().DisplaySize;
    panel("##options", fontPixels * 30.0f);
    ImGui::TextColored(kGold, "Options");
    ImGui::SameLine();
    ImGui::TextColored(kQuiet, "  applied at once and kept for the next time");
    ImGui::Separator();
    const float labelWidth = fontPixels * 12.0f;
    const auto label = [labelWidth](const char* text) {
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(text);
        ImGui::SameLine(labelWidth);
        ImGui::SetNextItemWidth(-1.0f);
    };
    if (ImGui::BeginTabBar("##sections")) {
        if (ImGui::BeginTabItem("Play")) {
            ImGui::BeginChild("##play", ImVec2(0, std::min(size.y * 0.5f, fontPixels * 18.0f)));
            label("Mouse sensitivity");
            changed |= ImGui::SliderFloat("##sensitivity", &s.look.sensitivity, LookSettings::kMinSensitivity,
                                          LookSettings::kMaxSensitivity, "%.2f", ImGuiSliderFlags_Logarithmic);
            label("Invert Y");
            changed |= ImGui::Checkbox("##invert", &s.look.invertY);
            label("Field of view");
            changed |= ImGui::SliderFloat("##fov", &s.look.fieldOfView, LookSettings::kMinFieldOfView,
                                          LookSettings::kMaxFieldOfView, "%.0f degrees");
            int mode = s.look.mode == MouseMode::Turn ? 1 : 0;
            label("Mouse mode");
            if (ImGui::Combo("##mode", &mode, "Crosshair (shift turns)\0Turn the cat\0")) {
                s.look.mode = mode == 1 ? MouseMode::Turn : MouseMode::Crosshair;
                changed = true;
            }
            int difficulty = static_cast<int>(s.difficulty);
            label("Difficulty");
            if (ImGui::Combo("##difficulty", &difficulty, "Easy\0Normal\0Hard\0")) {
                s.difficulty = static_cast<Difficulty>(difficulty);
                changed = true;
            }
            ImGui::TextColored(kQuiet, "A new difficulty applies from the next world.");
            label("Escape opens the menu");
            changed |= ImGui::Checkbox("##escape", &s.escapeOpensMenu);
            label("Title at start");
            changed |= ImGui::Checkbox("##title", &s.showTitle);
            ImGui::EndChild();
            ImGui::EndTabItem();
        }
        if (ImGui::BeginTabItem("Graphics")) {
            ImGui::BeginChild("##graphics", ImVec2(0, std::min(size.y * 0.5f, fontPixels * 18.0f)));
            int level = s.quality ? static_cast<int>(*s.quality) + 1 : 0;
            label("Graphics level");
            if (ImGui::Combo("##level", &level, "Auto\0Low\0Medium\0High\0")) {
                s.quality =
                    level == 0 ? std::nullopt : std::optional<QualityLevel>(static_cast<QualityLevel>(level - 1));
                changed = true;
            }
            bool ownScale = !s.renderScale;
            label("Level's own scale");
            if (ImGui::Checkbox("##ownscale", &ownScale)) {
                s.renderScale = ownScale ? std::nullopt : std::optional<float>(1.0f);
                changed = true;
            }
            if (s.renderScale) {
                label("Render scale");
                changed |= ImGui::SliderFloat("##scale", &*s.renderScale, 0.25f, 1.0f, "%.2f");
            }
            label("Frame limit");
            changed |= ImGui::SliderInt("##limit", &s.fpsLimit, 0, 240, s.fpsLimit == 0 ? "none" : "%d per second");
            label("Vertical sync");
            changed |= ImGui::Checkbox("##vsync", &s.vsync);
            label("Full screen (F11)");
            changed |= ImGui::Checkbox("##fullscreen", &s.fullscreen);
            ImGui::EndChild();
            ImGui::EndTabItem();
        }
        if (ImGui::BeginTabItem("Sound and HUD")) {
            ImGui::BeginChild("##sound", ImVec2(0, std::min(size.y * 0.5f, fontPixels * 18.0f)));
            label("Volume");
            changed |= ImGui::SliderFloat("##volume", &s.audioVolume, 0.0f, 1.0f, "%.2f");
            label("Wind");
            changed |= ImGui::Checkbox("##ambience", &s.audioAmbience);
            label("Sound captions");
            changed |= ImGui::Checkbox("##captions", &s.captions);
            label("HUD scale");
            changed |= ImGui::SliderFloat("##hud", &s.hudScale, 0.5f, 2.0f, "%.2f");
            ImGui::EndChild();
            ImGui::EndTabItem();
        }
        if (ImGui::BeginTabItem("Keys")) {
            ImGui::BeginChild("##keys", ImVec2(0, std::min(size.y * 0.5f, fontPixels * 18.0f)));
            bindings(model, asked);
            ImGui::EndChild();
            ImGui::EndTabItem();
        }
        ImGui::EndTabBar();
    }
    if (!refusal.empty()) ImGui::TextColored(kRed, "%s", refusal.c_str());
    ImGui::Separator();
    if (button("Back")) show(previous == Screen::None ? Screen::Title : previous);
    ImGui::End();
    asked.settingsChanged = asked.settingsChanged || changed;
}

void Menus::bindings(MenuModel& model, MenuRequests& asked) {
    Settings& s = model.settings;
    const float column = fontPixels * 15.0f;
    for (int a = 0; a < kActionCount; ++a) {
        const auto action = static_cast<Action>(a);
        ImGui::PushID(a);
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(Bindings::actionName(action));
        ImGui::SameLine(column);
        const std::string shown =
            captureAction == a ? "press a key or button" : Bindings::inputName(s.bindings.input(action));
        if (ImGui::Button(shown.c_str(), ImVec2(-1.0f, 0.0f))) {
            captureAction = a;
            refusal.clear();
        }
        ImGui::PopID();
    }
    if (ImGui::Button("Reset keys to defaults")) {
        s.bindings.reset();
        refusal.clear();
        asked.settingsChanged = true;
    }
}

void Menus::controls(const MenuModel& model) {
    panel("##controls", fontPixels * 44.0f);
    ImGui::TextColored(kGold, "Controls");
    ImGui::Separator();
    // Keyboard and mouse as bound now on the left, the pad's fixed map on the right.
    std::vector<std::pair<std::string, std::string>> keys;
    for (int a = 0; a < kActionCount; ++a) {
        const auto action = static_cast<Action>(a);
        keys.emplace_back(Bindings::inputName(model.settings.bindings.input(action)), Bindings::actionName(action));
    }
    for (const auto& fixed : kFixedKeys) keys.emplace_back(fixed[0], fixed[1]);
    keys.emplace_back("Escape", model.settings.escapeOpensMenu ? "the pause menu" : "quit");
    if (ImGui::BeginTable("##controls", 4, ImGuiTableFlags_RowBg | ImGuiTableFlags_SizingFixedFit)) {
        ImGui::TableSetupColumn("Key or button", ImGuiTableColumnFlags_WidthFixed);
        ImGui::TableSetupColumn("Keyboard and mouse", ImGuiTableColumnFlags_WidthStretch);
        ImGui::TableSetupColumn("Pad", ImGuiTableColumnFlags_WidthFixed);
        ImGui::TableSetupColumn("Gamepad", ImGuiTableColumnFlags_WidthStretch);
        const size_t padRows = sizeof(kPadRows) / sizeof(kPadRows[0]);
        for (size_t row = 0; row < keys.size(); ++row) {
            ImGui::TableNextRow();
            ImGui::TableNextColumn();
            ImGui::TextColored(kGold, "%s", keys[row].first.c_str());
            ImGui::TableNextColumn();
            ImGui::TextUnformatted(keys[row].second.c_str());
            if (row >= padRows) continue;
            ImGui::TableNextColumn();
            ImGui::TextColored(kGold, "%s", kPadRows[row][0]);
            ImGui::TableNextColumn();
            ImGui::TextUnformatted(kPadRows[row][1]);
        }
        ImGui::EndTable();
    }
    ImGui::Separator();
    if (button("Back")) show(previous == Screen::None ? Screen::Title : previous);
    ImGui::End();
}

void Menus::scores(const MenuModel& model) {
    panel("##scores", fontPixels * 22.0f);
    ImGui::TextColored(kGold, "Best score: %d", model.best);
    ImGui::Separator();
    if (model.rounds.empty()) {
        ImGui::TextColored(kQuiet, "No round played yet.");
    } else if (ImGui::BeginTable("##rounds", 3, ImGuiTableFlags_RowBg)) {
        ImGui::TableSetupColumn("Date");
        ImGui::TableSetupColumn("Score");
        ImGui::TableSetupColumn("Lasted");
        ImGui::TableHeadersRow();
        for (auto round = model.rounds.rbegin(); round != model.rounds.rend(); ++round) {
            char date[32] = "";
            const std::time_t when = static_cast<std::time_t>(round->date);
            std::tm local{};
            if (localtime_r(&when, &local)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &local);
            ImGui::TableNextRow();
            ImGui::TableNextColumn();
            ImGui::TextUnformatted(date);
            ImGui::TableNextColumn();
            if (round->score == model.best)
                ImGui::TextColored(kGold, "%d", round->score);
            else
                ImGui::Text("%d", round->score);
            ImGui::TableNextColumn();
            ImGui::Text("%d:%02d", round->seconds / 60, round->seconds % 60);
        }
        ImGui::EndTable();
    }
    ImGui::Separator();
    if (button("Back")) show(previous == Screen::None ? Screen::Title : previous);
    ImGui::End();
}
