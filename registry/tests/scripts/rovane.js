// rovane from JScript: creation, collections and default members,
// enumeration with Enumerator, errors as exceptions. Ends with
// "N passed, M failed" and exits non-zero when a check failed.
var passed = 0, failed = 0;

function check(name, condition) {
    if (condition) {
        passed++;
    } else {
        failed++;
        WScript.Echo("FAILED: " + name);
    }
}

// Runs f and checks the error it throws (number as the signed HRESULT).
function checkThrows(name, f, number, description) {
    try {
        f();
        check(name + " (no error)", false);
    } catch (e) {
        check(name + " (number " + e.number + ")", e.number === number);
        if (description) check(name + " (description " + e.description + ")", e.description === description);
    }
}

var r = new ActiveXObject("rovane.Registry");
var base = "HKCU\\Software\\corvane-tests\\js-" + new Date().getTime();

check("five roots", r.Keys.Count === 5);
check("Keys(\"HKLM\")", r.Keys("HKLM").Name === "HKEY_LOCAL_MACHINE");
check("Keys.Item(3)", r.Keys.Item(3).Name === "HKEY_LOCAL_MACHINE");
var names = [];
for (var e = new Enumerator(r.Keys); !e.atEnd(); e.moveNext())
    names.push(e.item().Name);
check("Enumerator over roots", names.join(";") === "HKEY_CLASSES_ROOT;HKEY_CURRENT_USER;HKEY_LOCAL_MACHINE;HKEY_USERS;HKEY_CURRENT_CONFIG");

var k = r.Keys.Add(base + "\\sub");
check("Add", k.Name === "sub");
k = r.Keys(base);
k.Values.Add("s", "text");
k.Values.Add("n", 42);
check("default member of Values", k.Values("s").Data === "text");
check("number from JScript is a DWORD", k.Values("n").Type === 4 && k.Values("n").Data === 42);
check("Data with a representation", k.Values("n").Data(17) === 42);
var count = 0;
for (var v = new Enumerator(k.Values); !v.atEnd(); v.moveNext())
    count++;
check("Enumerator over values", count === 2 && k.Values.Count === 2);
check("subkeys", k.Keys.Count === 1 && k.Keys(1).Name === "sub");

checkThrows("unknown root", function () { r.Keys("\\HKXX\\x"); }, -2147221494, "Unknown root key.");
checkThrows("missing value", function () { k.Values("missing"); }, -2147221497, "Invalid index.");
checkThrows("value path without backslash", function () { r.Item("HKCU\\x"); }, -2147221496, "Invalid key.");
checkThrows("JScript array is no registry data", function () { k.Values.Add("a", [1, 2]); }, -2147221499,
            "Invalid data type.");

r.Keys.Remove(base);
checkThrows("removed", function () { r.Keys(base); }, -2147221496, "Invalid key.");

WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed > 0 ? 1 : 0);
