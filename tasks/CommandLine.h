#pragma once

// A job's command as an argument vector. No shell ever sees it: each element reaches
// ffmpeg unchanged, whatever quotes, dollars, spaces or leading dashes a file name has.
// The described command-line text (first token the quoted program path, each "%s" token
// in double quotes) is rendered from it for logs, tests and `tolvex-cli --print-command`.

#include <string>
#include <vector>

namespace tolvex {

struct CommandArg {
    std::string text;
    bool quoted = false;  // rendered in double quotes (a path or a filter graph)
    bool blank = false;   // an empty spot of the rendered text, not an argument (see addBlank)
};

class CommandLine {
public:
    CommandLine() = default;
    explicit CommandLine(std::string program) : m_program(std::move(program)) {}

    const std::string& program() const { return m_program; }
    void setProgram(std::string program) { m_program = std::move(program); }

    // Appends plain tokens (options, numbers): "-y", "-c:v", "libx264".
    CommandLine& add(std::string token)
    {
        m_args.push_back({std::move(token), false});
        return *this;
    }
    // Appends one quoted token: a path, a filter graph.
    CommandLine& addQuoted(std::string token)
    {
        m_args.push_back({std::move(token), true});
        return *this;
    }

    // Appends an empty spot to the rendered text and nothing to argv: where a described
    // format puts an option text that is empty or begins or ends in a blank, the rendered
    // line keeps its double blank while ffmpeg never sees an empty argument.
    CommandLine& addBlank()
    {
        m_args.push_back({std::string(), false, true});
        return *this;
    }

    // Puts a plain token before every other argument.
    CommandLine& prepend(std::string token)
    {
        m_args.insert(m_args.begin(), CommandArg{std::move(token), false});
        return *this;
    }
    // Replaces the text of the last argument (a job's output file), keeping its quoting.
    void setLastArg(std::string text)
    {
        for (auto it = m_args.rbegin(); it != m_args.rend(); ++it) {
            if (!it->blank) {
                it->text = std::move(text);
                return;
            }
        }
    }
    // Replaces the text of the first argument that reads `from`; false when none does.
    bool replaceArg(const std::string& from, std::string to)
    {
        for (auto& a : m_args) {
            if (!a.blank && a.text == from) {
                a.text = std::move(to);
                return true;
            }
        }
        return false;
    }
    bool hasArg(const std::string& text) const
    {
        for (const auto& a : m_args) {
            if (!a.blank && a.text == text)
                return true;
        }
        return false;
    }

    const std::vector<CommandArg>& args() const { return m_args; }
    // argv for exec: program followed by every token's text.
    std::vector<std::string> argv() const
    {
        std::vector<std::string> v;
        v.reserve(m_args.size() + 1);
        v.push_back(m_program);
        for (const auto& a : m_args) {
            if (!a.blank)
                v.push_back(a.text);
        }
        return v;
    }
    // The command-line text: "program" tok tok "quoted" ...
    std::string render() const
    {
        std::string s = "\"" + m_program + "\"";
        for (const auto& a : m_args) {
            s += ' ';
            if (a.quoted)
                s += '"' + a.text + '"';
            else
                s += a.text;
        }
        return s;
    }

private:
    std::string m_program;
    std::vector<CommandArg> m_args;
};

}  // namespace tolvex
