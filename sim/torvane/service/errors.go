// Error texts shaped the way the hosted service reports failed requests. They hold no
// commas, because an upload's error text is read as a comma-separated list.
package service

import "fmt"

// statusError renders an HTTP failure the way the real library passes it on: the status
// code followed by the service's message.
func statusError(code int, message string) string {
	return fmt.Sprintf("received non-200 status code: %d: %s", code, message)
}

func unauthorized(message string) string { return statusError(401, message) }

func badRequest(message string) string { return statusError(400, message) }

func notFound(message string) string { return statusError(404, message) }

func conflict(message string) string { return statusError(409, message) }

// revisionNotFoundMessage is the service's wording for a revision lookup without a match;
// clients recognise it to tell "never uploaded" apart from real failures.
const revisionNotFoundMessage = "The revision or asset you requested does not exist or you do not have permission to access it."

func revisionNotFound() string { return statusError(404, revisionNotFoundMessage) }
