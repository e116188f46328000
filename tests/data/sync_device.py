# A third device for the sync tests: Python's CalDAV client on the same task list.
# Arguments: server URL, user, password, list URL, then create UID SUMMARY | edit UID SUMMARY |
# delete UID | list (one line per to-do: UID, SUMMARY, STATUS, number of alarms).
import sys, datetime, caldav
url, user, pw, calurl, cmd = sys.argv[1:6]
args = sys.argv[6:]
client = caldav.DAVClient(url=url, username=user, password=pw)
cal = caldav.Calendar(client=client, url=calurl)
now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y%m%dT%H%M%SZ")
if cmd == "create":
    uid, summary = args
    cal.save_todo("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//third device//EN\r\nBEGIN:VTODO\r\n"
                  "UID:%s\r\nDTSTAMP:%s\r\nLAST-MODIFIED:%s\r\nSUMMARY:%s\r\nDUE;VALUE=DATE:20090205\r\n"
                  "STATUS:NEEDS-ACTION\r\nEND:VTODO\r\nEND:VCALENDAR\r\n" % (uid, now, now, summary))
elif cmd == "edit":
    uid, summary = args
    t = cal.todo_by_uid(uid)
    ical = t.icalendar_instance
    for c in ical.walk("VTODO"):
        c["SUMMARY"] = summary
        c["STATUS"] = "COMPLETED"
        if "LAST-MODIFIED" in c:
            del c["LAST-MODIFIED"]
        c.add("LAST-MODIFIED", datetime.datetime.now(datetime.timezone.utc))
    t.icalendar_instance = ical
    t.save()
elif cmd == "delete":
    cal.todo_by_uid(args[0]).delete()
elif cmd == "list":
    for t in cal.todos(include_completed=True):
        for c in t.icalendar_instance.walk("VTODO"):
            print("%s\t%s\t%s\t%d" % (c.get("UID"), c.get("SUMMARY"), c.get("STATUS"), len(c.walk("VALARM"))))
