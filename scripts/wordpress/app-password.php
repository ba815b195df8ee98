<?php
// Gives the user a fresh application password for the tests and the demo,
// replacing the earlier one of the same name, and prints it:
//   php app-password.php <site dir> <url> <user> <name>

if ( PHP_SAPI !== 'cli' || $argc !== 5 ) {
	fwrite( STDERR, "usage: php app-password.php <site dir> <url> <user> <name>\n" );
	exit( 2 );
}
list( , $site, $url, $user, $name ) = $argv;

$parts                     = parse_url( $url );
$_SERVER['HTTP_HOST']      = $parts['host'] . ( isset( $parts['port'] ) ? ':' . $parts['port'] : '' );
$_SERVER['SERVER_NAME']    = $parts['host'];
$_SERVER['SERVER_PORT']    = isset( $parts['port'] ) ? (string) $parts['port'] : '80';
$_SERVER['REQUEST_URI']    = '/';
$_SERVER['REQUEST_METHOD'] = 'GET';

require $site . '/wp-load.php';

$account = get_user_by( 'login', $user );
if ( ! $account ) {
	fwrite( STDERR, "no user $user\n" );
	exit( 1 );
}
if ( ! wp_is_application_passwords_available_for_user( $account ) ) {
	fwrite( STDERR, "application passwords are not available for $user\n" );
	exit( 1 );
}
foreach ( WP_Application_Passwords::get_user_application_passwords( $account->ID ) as $item ) {
	if ( $item['name'] === $name ) {
		WP_Application_Passwords::delete_application_password( $account->ID, $item['uuid'] );
	}
}
$created = WP_Application_Passwords::create_new_application_password( $account->ID, array( 'name' => $name ) );
if ( is_wp_error( $created ) ) {
	fwrite( STDERR, 'cannot create an application password: ' . $created->get_error_message() . "\n" );
	exit( 1 );
}
// Shown the way WordPress shows it to a user, in groups of four.
echo WP_Application_Passwords::chunk_password( $created[0] ), "\n";
