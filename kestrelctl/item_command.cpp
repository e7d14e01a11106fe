#include "item_command.h"

#include <climits>

#include "command_line.h"

bool ParseItemCommand(const std::vector<std::string>& words, SItemCommand& command, std::string& error)
{
    if (words.empty()) {
        error = "no command";
        return false;
    }
    command.verb = words[0];
    const size_t arguments = command.verb == "identify" ? 0 : command.verb == "set" ? 2 : 1;
    if (command.verb != "identify" && command.verb != "get" && command.verb != "set" && command.verb != "reset") {
        error = "unknown command \"" + command.verb + "\"";
        return false;
    }
    if (words.size() != arguments + 1) {
        error = command.verb + " takes " + (arguments == 0 ? "no argument" : arguments == 1 ? "ITEM" : "ITEM VALUE");
        return false;
    }
    long number = 0;
    if (arguments && !ParseNumber(words[1].c_str(), 0, 0xFFFF, number)) {
        error = "bad item \"" + words[1] + "\"";
        return false;
    }
    command.item = static_cast<uint16_t>(number);
    if (arguments < 2)
        return true;
    if (!ParseNumber(words[2].c_str(), INT32_MIN, INT32_MAX, number)) {
        error = "bad value \"" + words[2] + "\"";
        return false;
    }
    command.value = static_cast<int32_t>(number);
    unsigned int width = command.width ? command.width : ItemSetWidth(command.item, command.value);
    // Cut to fewer bytes it would arrive as another value.
    if (!ItemValueFits(command.item, command.value, width)) {
        error = words[2] + " does not fit in " + std::to_string(width) + " byte" + (width == 1 ? "" : "s") + ".";
        return false;
    }
    command.width = width;
    return true;
}

SItemResult RunItemCommand(CProjectorSession& session, const SItemCommand& command)
{
    SItemResult result;
    if (command.verb == "identify") {
        const SProjectorModel* model = nullptr;
        result.status = session.Identify(model, result.message);
        if (model)
            result.type = model->szTypeCode;
        return result;
    }
    const unsigned char attr = command.verb == "set" ? 1 : command.verb == "get" ? 2 : 3;
    std::vector<unsigned char> parameter;
    if (attr == 1)
        parameter = EncodeItemValue(command.value, command.width);
    SAnswer answer;
    result.status =
        session.Transact(command.stack, attr, command.address, command.item, parameter, answer, result.message);
    // A reset answers with the new value only on some items.
    if (result.status == SESSION_OK && (attr == 2 || (attr == 3 && !answer.parameter.empty()))) {
        result.bValue = true;
        result.value = DecodeItemValue(command.item, answer.parameter);
    }
    return result;
}

std::string ItemResultText(const SItemResult& result)
{
    if (!result.type.empty())
        return result.type;
    return result.bValue ? std::to_string(result.value) : std::string();
}
